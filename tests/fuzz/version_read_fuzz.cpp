// The PE version reader over any file: the size call, the block read into exactly that room
// (and into a cut room), and the root query. The value handed back lies inside the block and
// the block inside its room; the heap room lets AddressSanitizer see any read past it.
#include <cstring>
#include <memory>
#include <string>

#include "fuzz_scratch.h"
#include "platform/win32.h"

namespace {

// The program's query, checked: a value wholly inside the block, read to its last byte.
bool QueryRoot(const uint8_t* block, DWORD room)
{
    LPVOID value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block, "\\", &value, &length)) {
        FUZZ_CHECK(value == nullptr && length == 0);
        return false;
    }
    const auto* start = static_cast<const uint8_t*>(value);
    FUZZ_CHECK(start > block && length > 0);
    FUZZ_CHECK(static_cast<size_t>(start - block) + length <= room);
    volatile uint8_t sum = 0;
    for (UINT i = 0; i < length; ++i) {
        sum = static_cast<uint8_t>(sum + start[i]);
    }
    if (length >= sizeof(VS_FIXEDFILEINFO)) {
        VS_FIXEDFILEINFO info;
        std::memcpy(&info, value, sizeof info);
        sum = static_cast<uint8_t>(sum + (info.dwFileVersionMS & 0xFF));
    }
    return true;
}

void ReadIntoRoom(const std::string& path, DWORD room, DWORD wholeSize)
{
    std::unique_ptr<uint8_t[]> block(new uint8_t[room]);
    if (!GetFileVersionInfoA(path.c_str(), 0, room, block.get())) {
        return;
    }
    // A cut block states the length it was cut to, never more than its room.
    const DWORD stated = static_cast<DWORD>(block[0] | (block[1] << 8));
    FUZZ_CHECK(stated <= room);
    FUZZ_CHECK(room < wholeSize || stated == wholeSize);
    // A block read whole always answers the query with the fixed file information.
    const bool found = QueryRoot(block.get(), room);
    FUZZ_CHECK(found || room < wholeSize);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = fuzzing::WriteScratchFile("program.exe", data, size);
    DWORD handle = 1;
    const DWORD blockSize = GetFileVersionInfoSizeA(path.c_str(), &handle);
    FUZZ_CHECK(handle == 0);
    if (blockSize == 0) {
        // No block: the read fails too, whatever the room.
        uint8_t room[64];
        FUZZ_CHECK(!GetFileVersionInfoA(path.c_str(), 0, sizeof room, room));
        return 0;
    }
    FUZZ_CHECK(blockSize <= 0xFFFF && blockSize <= size);
    ReadIntoRoom(path, blockSize, blockSize);
    ReadIntoRoom(path, blockSize / 2 + 3, blockSize);
    ReadIntoRoom(path, 6, blockSize);
    return 0;
}
