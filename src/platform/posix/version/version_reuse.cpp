#include "platform/posix/version/version_reuse.h"

#include <sys/stat.h>

#include <utility>

#include "platform/posix/files/file_identity.h"
#include "platform/posix/files/kept_open_file.h"
#include "platform/posix/files/path_slots.h"
#include "platform/posix/version/version_resource.h"

namespace posix::version {

namespace {

struct KeptBlock {
    posix::files::FileIdentity identity;
    timespec readAt{};
    std::vector<uint8_t> block;
    bool fromSearch = false;  // read from the file the search opened: it goes with that stamp
};

// A decision asks for the sizes of two files, then for both blocks.
using KeptBlocks = posix::files::PathSlots<KeptBlock, 2>;

KeptBlocks& TheKept()
{
    static KeptBlocks kept;
    return kept;
}

}  // namespace

size_t ReadAndKeepVersionBlock(const char* path)
{
    if (path == nullptr) {
        return 0;
    }
    KeptBlock fresh;
    struct stat searched {};
    int descriptor = posix::files::TakeOpenFile(path, &searched);
    if (descriptor >= 0) {
        fresh.block = LoadVersionBlockFrom(descriptor, searched);
        fresh.fromSearch = true;
    } else {
        fresh.block = LoadVersionBlock(path, &fresh.identity, &fresh.readAt);
    }
    KeptBlocks& kept = TheKept();
    std::lock_guard<std::mutex> guard(kept.lock);
    if (fresh.block.empty()) {
        if (KeptBlocks::Slot* slot = kept.Find(path)) {
            slot->used = false;
        }
        return 0;
    }
    KeptBlocks::Slot& slot = kept.SlotFor(path);
    slot.path = path;
    slot.value = std::move(fresh);
    slot.used = true;
    return slot.value.block.size();
}

std::vector<uint8_t> KeptOrFreshVersionBlock(const char* path)
{
    if (path == nullptr) {
        return {};
    }
    {
        KeptBlocks& kept = TheKept();
        std::lock_guard<std::mutex> guard(kept.lock);
        KeptBlocks::Slot* slot = kept.Find(path);
        if (slot != nullptr && slot->value.fromSearch) {
            // Handed over once, without looking at the file again: it is the version of the
            // file whose stamp the search just gave, whatever the path names by now.
            slot->used = false;
            return std::move(slot->value.block);
        }
        struct stat status {};
        if (slot != nullptr && stat(path, &status) == 0 &&
            posix::files::StillTheSameFile(slot->value.identity, slot->value.readAt,
                                           posix::files::IdentityOf(status))) {
            return slot->value.block;
        }
    }
    return LoadVersionBlock(path);
}

}  // namespace posix::version
