/* The project's version and the names its files carry, shared by the resource scripts, CMake
   (the packages) and the POSIX build. */
#ifndef QUORVEL_RES_VERSION_H
#define QUORVEL_RES_VERSION_H

#define QUORVEL_VERSION_MAJOR 1
#define QUORVEL_VERSION_MINOR 1
#define QUORVEL_VERSION_PATCH 0
#define QUORVEL_VERSION_BUILD 0
#define QUORVEL_VERSION_TEXT "1.1.0"

#define QUORVEL_COMPANY "Quorvel developers"
#define QUORVEL_COPYRIGHT "Copyright (C) 2026 Quorvel developers"

#endif
