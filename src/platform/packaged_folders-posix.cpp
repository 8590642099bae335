#include "platform/packaged_folders.h"

// Given by the build (the CMake options QUORVEL_CONFIG_DIR and QUORVEL_LOG_DIR) to this file
// alone, so that changing them rebuilds nothing else.
const char* PackagedConfigurationFolder()
{
    return QUORVEL_CONFIG_DIR;
}

const char* PackagedLogFolder()
{
    return QUORVEL_LOG_DIR;
}
