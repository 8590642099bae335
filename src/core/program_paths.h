// The program's own path, and the paths of the files that sit beside the program: the options
// file, the default settings file and the default log.
#pragma once

#include "platform/win32.h"

// The room every "beside the program" path is built in: a path the file calls accept.
constexpr int kBesidePathRoom = MAX_PATH;

// Fills `out` (room MAX_PATH) with the program's full path. False, and `out` empty, when the
// module-path query fails or fills the whole room: that path is cut, and a cut path names
// another file or none.
bool GetProgramPath(LPSTR out);

// Fills `out` (room `size`) with the program's own directory followed by `fileName`.
// Leaves it empty when the program's path is not known whole or the result would not fit.
void BuildPathBesideProgram(LPCSTR fileName, LPSTR out, int size);
