// Window properties, named by a string (case ignored) or by an atom (MAKEINTATOM).
#include <cstring>

#include "platform/win32.h"
#include "window_state.h"

using namespace posix_platform;

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

}  // namespace

BOOL WINAPI SetPropA(HWND window, LPCSTR name, HANDLE data)
{
    PropKey key;
    if (!MakePropKey(name, &key)) {
        return FALSE;
    }
    WindowState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    Window* record = FindWindowRecord(state, window);
    if (record == nullptr) {
        return FALSE;
    }
    record->props[key] = data;
    return TRUE;
}

HANDLE WINAPI GetPropA(HWND window, LPCSTR name)
{
    PropKey key;
    if (!MakePropKey(name, &key)) {
        return nullptr;
    }
    WindowState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    Window* record = FindWindowRecord(state, window);
    if (record == nullptr) {
        return nullptr;
    }
    auto found = record->props.find(key);
    return found != record->props.end() ? found->second : nullptr;
}

HANDLE WINAPI RemovePropA(HWND window, LPCSTR name)
{
    PropKey key;
    if (!MakePropKey(name, &key)) {
        return nullptr;
    }
    WindowState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    Window* record = FindWindowRecord(state, window);
    if (record == nullptr) {
        return nullptr;
    }
    auto found = record->props.find(key);
    if (found == record->props.end()) {
        return nullptr;
    }
    HANDLE data = found->second;
    record->props.erase(found);
    return data;
}
