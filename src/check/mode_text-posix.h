// A file's permission bits as administrators write them, "0644".
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <string>

inline std::string ModeText(mode_t mode)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}
