// One application entry of the settings file: its four keys, read as the pass reads them.
#pragma once

#include <string>

#include "platform/win32.h"

struct AppEntry {
    char section[16];  // "App" and up to ten digits
    char name[MAX_PATH];
    char source[MAX_PATH];
    char destination[MAX_PATH];
    char setupApp[MAX_PATH];
};

// Reads entry n's four keys from the settings file (each at most 259 characters; a missing
// file, section or key reads as empty). True when all four are non-empty: the entry takes part.
bool ReadAppEntry(UINT n, LPCSTR settingsPath, AppEntry* entry);

// The names of the entry's empty keys, in the settings file's order, joined by `separator`;
// "" when none is empty.
std::string EmptyEntryKeys(const AppEntry& entry, const char* separator);
