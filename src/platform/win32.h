// The one platform header of the core. On Windows it is the real API; elsewhere it
// declares the subset of Win32 that Quorvel uses, implemented under posix/.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <bcrypt.h>
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <stdio.h>
#define QUORVEL_EXPORT __declspec(dllexport)
constexpr char kPathSeparator = '\\';
#else
#include "platform/posix/files/files_api.h"
#include "platform/posix/process/process_api.h"
#include "platform/posix/profile/profile_api.h"
#include "platform/posix/strings_api.h"
#include "platform/posix/system/system_api.h"
#include "platform/posix/types.h"
#include "platform/posix/version/version_api.h"
#include "platform/posix/window/window_api.h"
#define QUORVEL_EXPORT
constexpr char kPathSeparator = '/';
#endif
