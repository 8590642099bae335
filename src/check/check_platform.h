// What the check asks of its platform beyond the Win32 subset. The check's own platform files
// provide it, one set per platform: check/*-posix.cpp on POSIX (over the stand-in's readers
// where it has them), check/*-win32.cpp on Windows (over the real calls).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The log-on program's file name, as it sits beside this program ("quorvel" or "quorvel.exe").
const char* LogonProgramFileName();

// The current folder a log-on start gives the program, which relative paths depend on.
const char* LogonCurrentFolder();

// What starting a setup command line would do, by the start's own rule on this platform.
struct SetupForecast {
    std::vector<std::string> arguments;  // as the started program receives them, its name first
    std::string program;                 // the file that would run ("" when none is found)
    bool starts = false;                 // the start succeeds
    std::string why;  // a fault, in words: why it cannot start, or why it fails once started
    std::string how;  // a way of starting worth telling ("run by /bin/sh"), or ""
    // The file whose creation would take the program's place: the first word of an unquoted
    // command line whose program path holds a blank; "" when there is none.
    std::string plantable;
    // Folders a search for a program named without one takes from the current folder (empty
    // or relative PATH entries), in words; "" when there are none or no search is made.
    std::string relativeSearch;
};
SetupForecast ForecastSetupStart(const std::string& commandLine);

// True when what the check prints is read as UTF-8 (a POSIX terminal); false where it is
// shown in the ANSI code page (a Windows console).
bool CheckOutputIsUtf8();

// Why a search for `path` finds nothing, in the platform's words: no such file, its folder is
// missing or unreachable, access denied, no match for a pattern.
std::string WhyNotFound(const std::string& path);

// True when this user may append to the existing file; nothing is written and the file's
// times are kept.
bool CanAppendTo(const std::string& path);

// True when this user may create a file in the folder; nothing is created.
bool CanCreateIn(const std::string& folder);

// True when the folder exists (a drive root or a share counts).
bool FolderExists(const std::string& path);

// What makes an existing log at `path` useless to the log-on runs, in words; "" when nothing
// does. The runs refuse a symbolic link (or other reparse point), a FIFO, a socket, a device
// and a file with more than one name; a log of another user's that only its owner may write
// drops every other user's line.
std::string LogFileProblem(const std::string& path);

// How a log at `path` is shared with other users, when it leaves them out: "" when they may
// write it (or the platform's permissions are the folder's own affair).
std::string LogSharing(const std::string& path, bool exists);

// One way the session starts a program at log-on besides the run line (an XDG autostart
// entry, the machine's Run key), as found.
struct LogonStart {
    std::string label;    // "autostart", "machine Run"
    std::string where;    // the entry's file, or the registry value
    std::string state;    // in words: absent, hidden, or what it starts
    bool starts = false;  // it starts an existing program at log-on
    std::string problem;  // why it is broken, or ""
};
std::vector<LogonStart> LogonStartsBesideRunLine();

// True when the platform itself starts what the run line names at log-on (Windows); false
// where only an autostart entry written with it does (POSIX).
bool RunLineStartsAtLogOn();

// Why /install writes no log-on entry for `program` although the run line holds it whole, in
// words; "" when it writes one or the platform needs none (Windows).
std::string WhyNoLogOnEntry(const std::string& program);

// How to have the program started at log-on when its path cannot stand in the run line.
const char* StartWithoutRunLine();

// Opens a file for reading only when it is a regular file (never a device, a pipe or a
// folder, and without waiting on one); its size in `size`. Null with the reason in `why`.
FILE* OpenRegularFile(const std::string& path, unsigned long long* size, std::string* why);

// The names of the regular files in `folder` whose names end in `suffix` (ASCII letters in
// any case), in no particular order; false with the reason in `why` when it cannot be listed.
bool ListFolderFiles(const std::string& folder, const char* suffix, std::vector<std::string>* names,
                     std::string* why);

// True when the check runs as the system account (root on POSIX, SYSTEM on Windows), as a
// machine pass does, whose runs take nothing on trust that another user could have put in
// their way.
bool CheckRunsAsSystemAccount();

// True when the check runs with administrator rights in force (root on POSIX; on Windows a
// token in which the Administrators group is enabled, that is, elevated).
bool CheckRunsAsAdministrator();

// A program file's own application manifest (resource type RT_MANIFEST, name 1 or else the
// first), read as the platform's PE reader finds it.
enum class ManifestState { NotAProgram, None, Read, TooLarge };
struct ProgramManifest {
    ManifestState state = ManifestState::NotAProgram;
    bool is32Bit = false;  // a PE32 image, which installer detection looks at
    std::string text;      // the manifest's bytes when Read
};
constexpr size_t kManifestCap = size_t{64} * 1024;  // a larger manifest is not read
ProgramManifest ReadProgramManifest(const std::string& path);

// Who besides the administrators (root; on Windows Administrators, SYSTEM and TrustedInstaller)
// can change the file or folder at `path`, one phrase each with its fix ("group staff
// (members: alice) can write it (mode 0664): chmod g-w ..."); empty when nobody else can or
// the path cannot be examined. `lastOnTheWay` is false for a folder on the way to a file the
// pass reads, where a sticky folder keeps others from replacing entries they do not own.
std::vector<std::string> WritersBesideAdministrators(const std::string& path, bool lastOnTheWay);

// A property of a Windows Installer package, from its Property table.
struct PackageProperty {
    bool read = false;  // the package could be opened and queried (never on POSIX)
    bool set = false;   // the table holds the property
    std::string value;
};
PackageProperty ReadPackageProperty(const std::string& package, const char* name);
