#include "platform/posix/version/version_reuse.h"

#include <sys/stat.h>

#include <mutex>
#include <string>
#include <utility>

#include "platform/posix/files/file_identity.h"
#include "platform/posix/files/kept_open_file.h"
#include "platform/posix/version/version_resource.h"

namespace pe_version {

namespace {

// A decision asks for the sizes of two files, then for both blocks.
constexpr size_t kKeptBlocks = 2;

struct KeptBlock {
    std::string path;
    files::FileIdentity identity;
    timespec readAt{};
    std::vector<uint8_t> block;
    bool fromSearch = false;  // read from the file the search opened: it goes with that stamp
};

struct Kept {
    std::mutex lock;
    KeptBlock blocks[kKeptBlocks];
    size_t next = 0;  // the slot to fill next, the older of the two
};

Kept& TheKept()
{
    static Kept kept;
    return kept;
}

KeptBlock* Find(Kept& kept, const char* path)
{
    for (KeptBlock& block : kept.blocks) {
        if (!block.block.empty() && block.path == path) {
            return &block;
        }
    }
    return nullptr;
}

}  // namespace

size_t ReadAndKeepVersionBlock(const char* path)
{
    if (path == nullptr) {
        return 0;
    }
    KeptBlock fresh;
    struct stat searched {};
    int descriptor = files::TakeOpenFile(path, &searched);
    if (descriptor >= 0) {
        fresh.block = LoadVersionBlockFrom(descriptor, searched);
        fresh.fromSearch = true;
    } else {
        fresh.block = LoadVersionBlock(path, &fresh.identity, &fresh.readAt);
    }
    Kept& kept = TheKept();
    std::lock_guard<std::mutex> guard(kept.lock);
    KeptBlock* slot = Find(kept, path);
    if (fresh.block.empty()) {
        if (slot != nullptr) {
            slot->block.clear();
        }
        return 0;
    }
    fresh.path = path;
    if (slot == nullptr) {
        slot = &kept.blocks[kept.next];
        kept.next = (kept.next + 1) % kKeptBlocks;
    }
    *slot = std::move(fresh);
    return slot->block.size();
}

std::vector<uint8_t> KeptOrFreshVersionBlock(const char* path)
{
    if (path == nullptr) {
        return {};
    }
    {
        Kept& kept = TheKept();
        std::lock_guard<std::mutex> guard(kept.lock);
        KeptBlock* block = Find(kept, path);
        if (block != nullptr && block->fromSearch) {
            // Handed over once, without looking at the file again: it is the version of the
            // file whose stamp the search just gave, whatever the path names by now.
            std::vector<uint8_t> taken = std::move(block->block);
            block->block.clear();
            return taken;
        }
        struct stat status {};
        if (block != nullptr && stat(path, &status) == 0 &&
            files::StillTheSameFile(block->identity, block->readAt, files::IdentityOf(status))) {
            return block->block;
        }
    }
    return LoadVersionBlock(path);
}

}  // namespace pe_version
