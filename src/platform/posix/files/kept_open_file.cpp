#include "platform/posix/files/kept_open_file.h"

#include <unistd.h>

#include "platform/posix/files/path_slots.h"

namespace posix::files {

namespace {

struct OpenFile {
    int descriptor = -1;
    struct stat status {};
};

using KeptFiles = PathSlots<OpenFile, 2>;

KeptFiles& TheKept()
{
    static KeptFiles kept;
    return kept;
}

void Release(KeptFiles::Slot* slot)
{
    if (slot != nullptr && slot->used) {
        close(slot->value.descriptor);
        slot->used = false;
    }
}

}  // namespace

void KeepOpenFile(const char* path, int descriptor, const struct stat& status)
{
    KeptFiles& kept = TheKept();
    std::lock_guard<std::mutex> guard(kept.lock);
    KeptFiles::Slot& slot = kept.SlotFor(path);
    Release(&slot);
    slot.path = path;
    slot.value = OpenFile{descriptor, status};
    slot.used = true;
}

void ForgetOpenFile(const char* path)
{
    KeptFiles& kept = TheKept();
    std::lock_guard<std::mutex> guard(kept.lock);
    Release(kept.Find(path));
}

int TakeOpenFile(const char* path, struct stat* status)
{
    KeptFiles& kept = TheKept();
    std::lock_guard<std::mutex> guard(kept.lock);
    KeptFiles::Slot* slot = kept.Find(path);
    if (slot == nullptr) {
        return -1;
    }
    slot->used = false;
    *status = slot->value.status;
    return slot->value.descriptor;
}

}  // namespace posix::files
