// The version blocks read by the last size queries, kept so that the block query that follows
// on the same unchanged file does not read it again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pe_version {

// Reads the version block of `path` afresh and keeps it; its length, 0 when there is none.
size_t ReadAndKeepVersionBlock(const char* path);

// The kept block of `path` when one stat shows the file unchanged since it was read, else the
// block read afresh.
std::vector<uint8_t> KeptOrFreshVersionBlock(const char* path);

}  // namespace pe_version
