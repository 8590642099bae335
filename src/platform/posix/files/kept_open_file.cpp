#include "platform/posix/files/kept_open_file.h"

#include <unistd.h>

#include <mutex>
#include <string>

namespace files {

namespace {

constexpr size_t kKeptFiles = 2;

struct KeptFile {
    std::string path;
    int descriptor = -1;
    struct stat status {};
};

struct Kept {
    std::mutex lock;
    KeptFile files[kKeptFiles];
    size_t next = 0;  // the slot to fill next, the older of the two
};

Kept& TheKept()
{
    static Kept kept;
    return kept;
}

KeptFile* Find(Kept& kept, const char* path)
{
    for (KeptFile& file : kept.files) {
        if (file.descriptor >= 0 && file.path == path) {
            return &file;
        }
    }
    return nullptr;
}

void Release(KeptFile* file)
{
    if (file != nullptr && file->descriptor >= 0) {
        close(file->descriptor);
        file->descriptor = -1;
        file->path.clear();
    }
}

}  // namespace

void KeepOpenFile(const char* path, int descriptor, const struct stat& status)
{
    Kept& kept = TheKept();
    std::lock_guard<std::mutex> guard(kept.lock);
    KeptFile* slot = Find(kept, path);
    if (slot == nullptr) {
        slot = &kept.files[kept.next];
        kept.next = (kept.next + 1) % kKeptFiles;
    }
    Release(slot);
    slot->path = path;
    slot->descriptor = descriptor;
    slot->status = status;
}

void ForgetOpenFile(const char* path)
{
    Kept& kept = TheKept();
    std::lock_guard<std::mutex> guard(kept.lock);
    Release(Find(kept, path));
}

int TakeOpenFile(const char* path, struct stat* status)
{
    Kept& kept = TheKept();
    std::lock_guard<std::mutex> guard(kept.lock);
    KeptFile* file = Find(kept, path);
    if (file == nullptr) {
        return -1;
    }
    int descriptor = file->descriptor;
    *status = file->status;
    file->descriptor = -1;
    file->path.clear();
    return descriptor;
}

}  // namespace files
