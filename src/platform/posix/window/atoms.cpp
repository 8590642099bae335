// The process's local atom table.
#include "platform/posix/window/window_state.h"
#include "platform/win32.h"

using namespace posix::window;

namespace {

constexpr ATOM kLastIntegerAtom = kFirstStringAtom - 1;

// "#nnn" names an integer atom; returns it, or 0 when the name is not of that form.
ATOM IntegerAtomFromDigits(LPCSTR name)
{
    if (name[0] != '#' || name[1] == '\0') {
        return 0;
    }
    unsigned value = 0;
    for (LPCSTR p = name + 1; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') {
            return 0;
        }
        value = value * 10 + static_cast<unsigned>(*p - '0');
        if (value > kLastIntegerAtom) {
            return 0;
        }
    }
    return static_cast<ATOM>(value);
}

}  // namespace

ATOM WINAPI AddAtomA(LPCSTR name)
{
    if (name == nullptr) {
        return 0;
    }
    if (IsIntegerAtom(name)) {
        auto value = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(name));
        return value <= kLastIntegerAtom ? value : 0;
    }
    ATOM integer = IntegerAtomFromDigits(name);
    if (integer != 0) {
        return integer;
    }
    WindowState& state = State();
    return state.localAtoms.Add(name);
}
