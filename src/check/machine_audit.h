// What the machine pass trusts: a program that runs as root or SYSTEM runs whatever the share
// holds, so every file the pass reads or starts, and every folder on the way up to the root,
// must be writable by administrators only.
#pragma once

#include <string>
#include <vector>

#include "check/entry_report.h"
#include "check/option_report.h"
#include "check/settings_problems.h"

struct AuditedPath {
    std::string what;  // "the settings file", "Source in [App1] (Notes)", ...
    std::string path;
};

// The files (and the log's folder) the pass reads or starts, each told with its role.
Findings AuditMachinePass(const std::vector<AuditedPath>& paths);

// The files a command line names besides its program: arguments, and values after '=' or ':'
// of switches, that are absolute paths of existing files.
std::vector<std::string> FilesNamedBy(const std::vector<std::string>& arguments);

// The options file, the settings file and the log's folder, as the options name them.
std::vector<AuditedPath> FilesOfTheRun(const OptionReport& options);

// An examined entry's Source, its setup program and the files its command line names.
std::vector<AuditedPath> FilesOfTheEntry(const EntryResult& result);
