#include "platform/posix/process/inheritable_descriptors.h"

#include <fcntl.h>

namespace posix::process {
namespace {

// A pass holds at most one mark at a time; a little room to spare.
constexpr int kMostInheritable = 4;
int gInheritable[kMostInheritable] = {-1, -1, -1, -1};

}  // namespace

bool SetDescriptorInheritable(int fd, bool inheritable)
{
    for (int& slot : gInheritable) {
        if (slot == fd && !inheritable) {
            slot = -1;
            return true;
        }
        if (slot == fd) {
            return true;
        }
    }
    if (!inheritable) {
        return true;
    }
    for (int& slot : gInheritable) {
        if (slot < 0) {
            slot = fd;
            return true;
        }
    }
    return false;
}

void KeepInheritableDescriptorsOpen()
{
    for (int fd : gInheritable) {
        if (fd >= 0) {
            fcntl(fd, F_SETFD, 0);
        }
    }
}

}  // namespace posix::process
