// Paths of the files that sit beside the program: the options file, the default settings
// file and the default log.
#pragma once

#include "platform/win32.h"

// The room every "beside the program" path is built in: a path the file calls accept.
constexpr int kBesidePathRoom = MAX_PATH;

// Fills `out` (room `size`) with the program's own directory followed by `fileName`.
// Leaves it empty when the result would not fit: a cut path would name another file.
void BuildPathBesideProgram(LPCSTR fileName, LPSTR out, int size);
