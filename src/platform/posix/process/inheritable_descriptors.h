// The descriptors that starting a program with inherited handles passes on, as Windows passes
// on the handles created inheritable. Every descriptor of ours is opened close-on-exec; one
// registered here stays open across the exec of a program started with inherited handles,
// and no other does, whatever this process itself inherited.
#pragma once

namespace posix::process {

// Registers or unregisters `fd` (a small fixed number of them at a time; false when full).
bool SetDescriptorInheritable(int fd, bool inheritable);

// In a child about to exec: clears close-on-exec on every registered descriptor. Allocates
// nothing, so it is safe between fork and exec.
void KeepInheritableDescriptorsOpen();

}  // namespace posix::process
