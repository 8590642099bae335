// The ordered list of items parsed from one line of switches.
#pragma once

#include <cstdint>

#include "cmdline/cmd_parameter.h"

class CommandLine {
public:
    // Parses the whole text (which may be null); only its first 1023 bytes are seen.
    explicit CommandLine(const char* text);
    ~CommandLine();
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    // Moves `current` one item on and returns it; null at the end of the list, and after.
    CmdParameter* Next();

    int32_t parsed;
    int32_t count;
    CmdParameter* first;
    CmdParameter* current;
};
