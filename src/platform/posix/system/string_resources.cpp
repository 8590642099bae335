// The string table, compiled in from the same header the Windows resource script reads.
#include <cstring>

#include "platform/win32.h"
#include "string_table.h"

namespace {

struct StringResource {
    UINT id;
    const char* text;
};

constexpr StringResource kStringTable[] = {
    {IDS_TIMESTAMP_FORMAT, STR_TIMESTAMP_FORMAT}, {IDS_LOG_LINE_LONG, STR_LOG_LINE_LONG},
    {IDS_LOG_LINE_SHORT, STR_LOG_LINE_SHORT},     {IDS_PRODUCT_NAME, STR_PRODUCT_NAME},
    {IDS_HELPER_FAILED, STR_HELPER_FAILED},
};

}  // namespace

// Copies the string into `out`, cut to size - 1 characters and terminated; returns the number
// of characters copied, 0 for a missing string or no room.
int WINAPI LoadStringA(HINSTANCE, UINT id, LPSTR out, int size)
{
    if (out == nullptr || size <= 0) {
        return 0;
    }
    out[0] = '\0';
    for (const StringResource& entry : kStringTable) {
        if (entry.id != id) {
            continue;
        }
        size_t length = std::strlen(entry.text);
        size_t room = static_cast<size_t>(size - 1);
        size_t copied = length < room ? length : room;
        std::memcpy(out, entry.text, copied);
        out[copied] = '\0';
        return static_cast<int>(copied);
    }
    return 0;
}
