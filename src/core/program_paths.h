// The program's own path, and the paths of the files that belong with it: the options file,
// the default settings file and the default log. They sit beside the program, or in the
// folders a packaged build names (platform/packaged_folders.h).
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

// The options file (Quorvel.cfg), the default settings file (Quorvel.ini) and the default
// install log (Quorvel.log), each into `out` (room `size`); empty when the path is not known
// whole or would not fit.
void BuildOptionsFilePath(LPSTR out, int size);
void BuildDefaultSettingsPath(LPSTR out, int size);
void BuildDefaultLogPath(LPSTR out, int size);
