// File version resources of PE32 and PE32+ files. The block handed to the caller is the
// file's own version block; only its root ("\") can be queried.
#include <cstring>
#include <optional>
#include <vector>

#include "platform/posix/version/le_bytes.h"
#include "platform/posix/version/version_block.h"
#include "platform/posix/version/version_reuse.h"
#include "platform/win32.h"

static_assert(sizeof(VS_FIXEDFILEINFO) == posix::version::kFixedFileInfoSize,
              "the fixed file information is 13 double words");
// The block is handed out as it lies in the file; its words are read in place.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "version blocks are little-endian");

DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR path, LPDWORD handle)
{
    if (handle != nullptr) {
        *handle = 0;
    }
    return static_cast<DWORD>(posix::version::ReadAndKeepVersionBlock(path));
}

BOOL WINAPI GetFileVersionInfoA(LPCSTR path, DWORD, DWORD size, LPVOID block)
{
    if (block == nullptr || size < posix::version::kRootHeaderSize) {
        return FALSE;
    }
    // The file may have changed since its size was asked for: then it is read again.
    std::vector<uint8_t> loaded = posix::version::KeptOrFreshVersionBlock(path);
    if (loaded.empty()) {
        return FALSE;
    }
    const size_t copied = loaded.size() < size ? loaded.size() : size;
    if (copied < loaded.size()) {
        // A cut block says how long it now is, so that a query of it stays inside it.
        loaded[0] = static_cast<uint8_t>(copied & 0xFF);
        loaded[1] = static_cast<uint8_t>(copied >> 8);
    }
    std::memcpy(block, loaded.data(), copied);
    return TRUE;
}

BOOL WINAPI VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* value, UINT* length)
{
    if (value != nullptr) {
        *value = nullptr;
    }
    if (length != nullptr) {
        *length = 0;
    }
    if (block == nullptr || subBlock == nullptr || value == nullptr || length == nullptr ||
        std::strcmp(subBlock, "\\") != 0) {
        return FALSE;
    }
    // The block carries its length in its first word; GetFileVersionInfoA wrote at least the
    // header and made that word no larger than what it wrote.
    const auto* bytes = static_cast<const uint8_t*>(block);
    std::optional<posix::version::RootValue> root =
        posix::version::FindRootValue(bytes, posix::version::ReadLe16(bytes));
    if (!root) {
        return FALSE;
    }
    *value = const_cast<uint8_t*>(bytes + root->offset);
    *length = static_cast<UINT>(root->length);
    return TRUE;
}
