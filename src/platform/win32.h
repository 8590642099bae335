// The one platform header of the core. On Windows it is the real API; elsewhere it
// declares the subset of Win32 that Quorvel uses, implemented under posix/.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#include <share.h>
#include <stdio.h>
#define QUORVEL_EXPORT __declspec(dllexport)
constexpr char kPathSeparator = '\\';
#else
#include "posix/types.h"
#include "posix/strings_api.h"
#include "posix/profile_api.h"
#include "posix/files_api.h"
#include "posix/version_api.h"
#include "posix/process_api.h"
#include "posix/system_api.h"
#include "posix/window_api.h"
#define QUORVEL_EXPORT
constexpr char kPathSeparator = '/';
#endif
