// The version blocks read by the last size queries, kept so that the block query that follows
// on the same unchanged file does not read it again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace posix::version {

// Reads the version block of `path` and keeps it; its length, 0 when there is none. A file
// that the search of that path left open is read from that descriptor, which is then closed;
// any other is opened afresh.
size_t ReadAndKeepVersionBlock(const char* path);

// The kept block of `path`: once, as it is, when it was read from the file the search left
// open; else when one stat shows the file unchanged since it was read. Otherwise the block
// read afresh.
std::vector<uint8_t> KeptOrFreshVersionBlock(const char* path);

}  // namespace posix::version
