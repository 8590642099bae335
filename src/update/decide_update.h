#pragma once

#include "platform/win32.h"
#include "update/file_stamp.h"

enum class UpdateVerdict { LaunchSetup = 0, UpToDate = 1, CompareTimes = 2 };

// The step of the decision that settled the verdict, in the order the steps are tried.
enum class DecidingStep {
    DestinationNotFound,  // LaunchSetup: Source is not looked at
    SourceNotFound,       // UpToDate
    NoVersionResource,    // a version block size of 0: the dates decide
    BlockNotAllocated,    // UpToDate, the dates are not looked at
    BlockNotRead,         // GetFileVersionInfoA failed: the dates decide
    NoFixedFileInfo,      // a block without fixed file information: the dates decide
    VersionsDiffer,       // the first differing version word decides
    DatesDecide,          // versions equal: the date-and-time rule decides
};

// What the decision saw of one side. Fields are set only as far as the decision got.
struct SideEvidence {
    bool searched;  // the search for this side was made
    bool found;     // and found an entry; then `stamp` holds its name, date and time
    FileStamp stamp;
    DWORD versionSize;  // the version block size the platform reported (0: none), when asked
    bool versionRead;   // `version` holds the four compared words
    DWORD version[4];   // file version MS, LS, product version MS, LS
};

struct UpdateEvidence {
    SideEvidence destination;
    SideEvidence source;
    DecidingStep step;
};

// Decides whether the installed file (destination) must be refreshed from its master (source).
// Returns LaunchSetup or UpToDate; reads the two files and changes nothing.
UpdateVerdict DecideUpdate(LPCSTR destination, LPCSTR source);

// The same decision, also filling `evidence` with what settled it. Both programs call this.
UpdateVerdict DecideUpdateWithEvidence(LPCSTR destination, LPCSTR source, UpdateEvidence* evidence);

// The four compared words of a filled version block; false when it has no fixed file
// information. Nothing outside the block is read.
bool ReadVersionWords(LPCVOID block, DWORD words[4]);
