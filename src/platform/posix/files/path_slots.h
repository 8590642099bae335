// A few things kept by path, the oldest given up first: what a decision reads of its two files,
// kept from one call to the next.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>

namespace posix::files {

template <typename Value, size_t kCount>
struct PathSlots {
    struct Slot {
        std::string path;
        Value value{};
        bool used = false;
    };

    std::mutex lock;
    Slot slots[kCount];
    size_t next = 0;  // the slot to fill next, the oldest

    Slot* Find(const char* path)
    {
        for (Slot& slot : slots) {
            if (slot.used && slot.path == path) {
                return &slot;
            }
        }
        return nullptr;
    }

    // The slot of `path`, or else the oldest one, which the caller fills for `path`.
    Slot& SlotFor(const char* path)
    {
        Slot* slot = Find(path);
        if (slot == nullptr) {
            slot = &slots[next];
            next = (next + 1) % kCount;
        }
        return *slot;
    }
};

}  // namespace posix::files
