// A table of case-insensitive names and their 16-bit atoms, as the local atom table keeps them.
#pragma once

#include <map>
#include <string>

#include "platform/posix/types.h"

namespace posix::window {

constexpr ATOM kFirstStringAtom = 0xC000;
constexpr size_t kMaxAtomNameLength = 255;

// True when a name argument is really a 16-bit atom (MAKEINTATOM) rather than a string.
inline bool IsIntegerAtom(LPCSTR name)
{
    return (reinterpret_cast<UINT_PTR>(name) >> 16) == 0;
}

// Upper-cases a to z, so names compare without regard to case.
std::string FoldAtomName(LPCSTR name);

class AtomTable {
public:
    // The atom of `name`, added if new. Atoms are never deleted here, so no use count is kept.
    // 0 for a name that is null, empty or longer than 255 bytes, or when all 16384 atoms are
    // taken.
    ATOM Add(LPCSTR name);
    // The atom of `name`, or 0 when it was never added.
    ATOM Find(LPCSTR name) const;

private:
    static bool IsValidName(LPCSTR name);

    std::map<std::string, ATOM> atomsByName_;
};

}  // namespace posix::window
