// The system's predefined icons and cursors. There are no pictures on this platform, only
// handles that stand for them, so a class can name them.
#include <algorithm>
#include <iterator>

#include "platform/win32.h"

namespace {

constexpr UINT_PTR kIconHandleBase = 0x20000;
constexpr UINT_PTR kCursorHandleBase = 0x30000;

// IDI_APPLICATION to IDI_SHIELD.
constexpr WORD kSystemIcons[] = {32512, 32513, 32514, 32515, 32516, 32517, 32518};
// IDC_ARROW, IBEAM, WAIT, CROSS, UPARROW, SIZE*, NO, HAND, APPSTARTING, HELP.
constexpr WORD kSystemCursors[] = {32512, 32513, 32514, 32515, 32516, 32640, 32641, 32642,
                                   32643, 32644, 32645, 32646, 32648, 32649, 32650, 32651};

// The identifier a system resource is asked for by, or 0 when the request is not for one.
template <size_t N>
WORD SystemResourceId(HINSTANCE instance, LPCSTR name, const WORD (&known)[N])
{
    auto value = reinterpret_cast<UINT_PTR>(name);
    if (instance != nullptr || name == nullptr || (value >> 16) != 0) {
        return 0;  // modules carry no icon or cursor resources here
    }
    auto id = static_cast<WORD>(value);
    return std::find(std::begin(known), std::end(known), id) != std::end(known) ? id : 0;
}

}  // namespace

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name)
{
    WORD id = SystemResourceId(instance, name, kSystemIcons);
    return id != 0 ? reinterpret_cast<HICON>(kIconHandleBase + id) : nullptr;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    WORD id = SystemResourceId(instance, name, kSystemCursors);
    return id != 0 ? reinterpret_cast<HCURSOR>(kCursorHandleBase + id) : nullptr;
}
