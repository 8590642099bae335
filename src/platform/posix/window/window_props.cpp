// Window properties, named by a string (case ignored) or by an atom (MAKEINTATOM).
#include <cstring>

#include "platform/posix/window/window_state.h"
#include "platform/win32.h"

using namespace posix::window;

namespace {

// The key a property name stands for; false for a null name, atom 0 or an over-long string.
bool MakePropKey(LPCSTR name, PropKey* key)
{
    if (name == nullptr) {
        return false;
    }
    if (IsIntegerAtom(name)) {
        key->atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(name));
        return true;
    }
    size_t length = strnlen(name, kMaxAtomNameLength + 1);
    if (length == 0 || length > kMaxAtomNameLength) {
        return false;
    }
    key->name = FoldAtomName(name);
    return true;
}

// Runs `use` on the window's properties and the key the name stands for; `otherwise` for a
// bad name or a window that does not exist.
template <typename Result, typename Use>
Result WithProperties(HWND window, LPCSTR name, Result otherwise, Use use)
{
    PropKey key;
    if (!MakePropKey(name, &key)) {
        return otherwise;
    }
    WindowState& state = State();
    Window* record = FindWindowRecord(state, window);
    return record == nullptr ? otherwise : use(record->props, key);
}

}  // namespace

BOOL WINAPI SetPropA(HWND window, LPCSTR name, HANDLE data)
{
    return WithProperties(window, name, FALSE, [&](auto& props, const PropKey& key) {
        props[key] = data;
        return TRUE;
    });
}

HANDLE WINAPI GetPropA(HWND window, LPCSTR name)
{
    return WithProperties(window, name, HANDLE{}, [](auto& props, const PropKey& key) {
        auto found = props.find(key);
        return found != props.end() ? found->second : HANDLE{};
    });
}

HANDLE WINAPI RemovePropA(HWND window, LPCSTR name)
{
    return WithProperties(window, name, HANDLE{}, [](auto& props, const PropKey& key) {
        auto found = props.find(key);
        if (found == props.end()) {
            return HANDLE{};
        }
        HANDLE data = found->second;
        props.erase(found);
        return data;
    });
}
