// The process-wide settings of one run: filled by the option pass, read by everything after it.
#pragma once

#include <cstdio>

#include "platform/win32.h"

constexpr int kPathFieldSize = MAX_PATH + 1;  // 260 characters and a terminator
constexpr int kNameFieldSize = 50;

struct RunSettings {
    int logSwitch;
    char logPath[kPathFieldSize];
    char settingsPath[kPathFieldSize];
    char computerName[kNameFieldSize];
    char userName[kNameFieldSize];
    int namesObtained;
    FILE* logStream;
    HINSTANCE instance;
    bool expandVariables;  // ExpandVariables in the settings file, read before the entries
};

extern RunSettings gRunSettings;

// Puts every field back to its value at the start of a run.
void ResetRunSettings(HINSTANCE instance);
