// The mark that a setup program started by a pass holds for as long as it runs, so that a later
// pass on this workstation, under the same account, can tell that the setup it would start for
// the same entry (the same settings file and SetupApp) is still at work.
//
// The setup process itself holds the mark: a later pass never trusts a process id, which the
// system may give to another program once the setup has ended, and the mark outlives the pass
// that took it. Which of the setup's own children keep it is the platform's affair:
//   POSIX    the mark is an open file description with a lock on it, inherited across fork and
//            exec: the setup and every descendant that keeps the inherited descriptor open;
//   Windows  a named kernel object whose handle the pass puts into the setup process itself:
//            the setup process alone, not the programs it starts.
// Each platform implements this header (running_setup-posix.cpp, running_setup-win32.cpp).
#pragma once

#include "platform/win32.h"

enum class EarlierSetup {
    NotRunning,    // no setup started for the entry by an earlier pass is running
    StillRunning,  // the setup an earlier pass started for the entry still runs
    Unknown,       // the mark cannot be looked at here (no folder of marks, a foreign object)
};

// Whether the setup that an earlier pass started for the entry still runs. Changes nothing:
// the companion program asks this too.
EarlierSetup FindEarlierSetup(LPCSTR settingsPath, LPCSTR setupApp);

// A mark taken by this pass for a setup it is about to start.
struct SetupMark {
    HANDLE handle = nullptr;  // null: no mark taken
};

enum class MarkClaim {
    Claimed,             // the mark is ours; hand it to the setup program
    HeldByEarlierSetup,  // the setup an earlier pass started still runs
    Unavailable,         // no mark can be kept here: the setup starts without one
};

// Takes the entry's mark unless an earlier setup holds it.
MarkClaim ClaimSetupMark(LPCSTR settingsPath, LPCSTR setupApp, SetupMark* mark);

// The bInheritHandles argument for starting the setup program that is to hold `mark`.
BOOL InheritsSetupMark(const SetupMark& mark);

// Gives the started setup program its hold on the mark, where inheritance has not already.
void HandSetupMarkTo(const SetupMark& mark, const PROCESS_INFORMATION& started);

// Lets go of this pass's own hold; the mark then lasts as long as the setup's.
void ReleaseSetupMark(SetupMark* mark);
