/* The project's version, shared by the resource script, CMake and the POSIX build. */
#ifndef QUORVEL_RES_VERSION_H
#define QUORVEL_RES_VERSION_H

#define QUORVEL_VERSION_MAJOR 1
#define QUORVEL_VERSION_MINOR 0
#define QUORVEL_VERSION_PATCH 0
#define QUORVEL_VERSION_BUILD 0
#define QUORVEL_VERSION_TEXT "1.0.0.0"

#endif
