#include "platform/posix/profile/profile_cache.h"

#include <sys/stat.h>

#include <algorithm>
#include <mutex>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/posix/files/capped_read.h"
#include "platform/posix/files/file_identity.h"
#include "text/profile_text.h"

namespace posix::profile {

using posix::files::ReadOutcome;

namespace {

// A program reads its settings file and perhaps the user's WIN.INI; a few more are room to
// spare. Each copy holds at most the read limit of text.
constexpr size_t kKeptFiles = 4;

struct KeptCopy {
    std::string path;
    posix::files::FileIdentity identity;
    timespec parsedAt{};
    uint64_t lastUse = 0;
    std::shared_ptr<const ParsedProfile> profile;
};

struct Cache {
    std::mutex lock;
    std::vector<KeptCopy> copies;
    uint64_t uses = 0;
};

Cache& TheCache()
{
    static Cache cache;
    return cache;
}

void DropCopy(Cache& cache, std::string_view path)
{
    cache.copies.erase(std::remove_if(cache.copies.begin(), cache.copies.end(),
                                      [&](const KeptCopy& copy) { return copy.path == path; }),
                       cache.copies.end());
}

std::shared_ptr<const ParsedProfile> ParseAndKeep(Cache& cache, const char* path)
{
    timespec parsedAt = posix::files::ReadMoment();
    std::string bytes;
    struct stat opened {};
    ReadOutcome outcome = posix::files::ReadFileCapped(path, posix::files::kProfileReadLimit, bytes,
                                                       &opened);
    if (outcome != ReadOutcome::Read && outcome != ReadOutcome::TooLarge) {
        return nullptr;
    }
    auto parsed =
        std::make_shared<const ParsedProfile>(profile_text::DecodeProfileBytes(std::move(bytes)));
    if (cache.copies.size() == kKeptFiles) {
        cache.copies.erase(std::min_element(cache.copies.begin(), cache.copies.end(),
                                            [](const KeptCopy& a, const KeptCopy& b) {
                                                return a.lastUse < b.lastUse;
                                            }));
    }
    cache.copies.push_back(KeptCopy{path, posix::files::IdentityOf(opened), parsedAt, ++cache.uses,
                                    parsed});
    return parsed;
}

}  // namespace

std::shared_ptr<const ParsedProfile> CachedProfile(const char* path)
{
    if (path == nullptr || *path == '\0') {
        return nullptr;
    }
    Cache& cache = TheCache();
    std::lock_guard<std::mutex> guard(cache.lock);
    std::string_view name = path;
    struct stat status {};
    if (stat(path, &status) != 0 || !S_ISREG(status.st_mode)) {
        DropCopy(cache, name);
        return nullptr;
    }
    for (KeptCopy& copy : cache.copies) {
        if (copy.path == name) {
            if (posix::files::StillTheSameFile(copy.identity, copy.parsedAt,
                                               posix::files::IdentityOf(status))) {
                copy.lastUse = ++cache.uses;
                return copy.profile;
            }
            DropCopy(cache, name);
            break;
        }
    }
    return ParseAndKeep(cache, path);
}

void ForgetCachedProfile(const std::string& path)
{
    Cache& cache = TheCache();
    std::lock_guard<std::mutex> guard(cache.lock);
    DropCopy(cache, path);
}

}  // namespace posix::profile
