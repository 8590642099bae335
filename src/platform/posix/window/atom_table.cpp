#include "platform/posix/window/atom_table.h"

#include <cstring>

#include "text/ascii_case.h"

namespace posix::window {
namespace {

constexpr size_t kAtomCapacity = 0x10000 - kFirstStringAtom;

}  // namespace

std::string FoldAtomName(LPCSTR name)
{
    std::string folded(name);
    for (char& c : folded) {
        c = UpperAscii(c);
    }
    return folded;
}

bool AtomTable::IsValidName(LPCSTR name)
{
    if (name == nullptr || IsIntegerAtom(name)) {
        return false;
    }
    size_t length = strnlen(name, kMaxAtomNameLength + 1);
    return length != 0 && length <= kMaxAtomNameLength;
}

ATOM AtomTable::Add(LPCSTR name)
{
    if (!IsValidName(name)) {
        return 0;
    }
    std::string key = FoldAtomName(name);
    auto found = atomsByName_.find(key);
    if (found != atomsByName_.end()) {
        return found->second;
    }
    if (atomsByName_.size() >= kAtomCapacity) {
        return 0;
    }
    auto atom = static_cast<ATOM>(kFirstStringAtom + atomsByName_.size());
    atomsByName_.emplace(std::move(key), atom);
    return atom;
}

ATOM AtomTable::Find(LPCSTR name) const
{
    if (!IsValidName(name)) {
        return 0;
    }
    auto found = atomsByName_.find(FoldAtomName(name));
    return found != atomsByName_.end() ? found->second : 0;
}

}  // namespace posix::window
