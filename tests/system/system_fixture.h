// Black-box runs of the built program. Every test gets a fresh folder holding a copy of the
// program (so its options file, default settings file and default log sit beside it) and a
// folder for the markers that the stand-in setup program leaves.
//
// The same tests run against the POSIX build and, under Wine, against the Windows build. The
// environment set by CTest picks the target:
//   QUORVEL_TARGET   posix | wine | wine32   (set from the test program's command line;
//                    wine32 is the 32-bit Windows build, in Wine's WoW64 mode)
//   QUORVEL_PROGRAM  the built program (build/quorvel, build-win64/ or build-win32/quorvel.exe)
//   QUORVEL_MARKER   the stand-in setup program built for the same platform
//   QUORVEL_CHECK    the companion program of the same build, copied beside the program
//   WINEPREFIX       the Wine prefix (wine only)
// Differences that belong to the platforms themselves (path form, where the user's WIN.INI
// lives) are answered here, in one place, and nowhere else.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/pe_fixture.h"
#include "support/test_support.h"

namespace system_tests {

using Environment = std::map<std::string, std::string>;

bool UnderWine();
bool UnderWine32();  // the 32-bit Windows build, in Wine's WoW64 mode

// Writes a PE with a version resource that the program under test can read: a 32-bit one for
// the 32-bit Windows build (a 32-bit process under Wine reads no 64-bit file's version).
void WriteVersionedPe(const std::string& path, const testing_support::VersionQuad& version);

// One application entry of a settings file.
struct AppEntry {
    std::string name, source, destination, setupApp;
};

class SystemTest : public ::testing::Test {
protected:
    SystemTest();

    // Native path of a file in the test's folder.
    std::string Native(const std::string& relative) const { return root_ / relative; }
    // The same path as the program sees it (Z:\... under Wine).
    std::string Visible(const std::string& relative) const;
    // Native path of a file beside the program copy.
    std::string BesideProgram(const std::string& name) const
    {
        return root_ / (programFolder_ + "/" + name);
    }
    // Moves the program copy into the folder `relative` (created with its parents) of the
    // test's folder; later runs start it there.
    void MoveProgram(const std::string& relative);

    void WriteOptionsFile(const std::string& content) const;   // Quorvel.cfg beside the program
    void WriteSettingsFile(const std::string& content) const;  // Quorvel.ini beside the program
    std::string DefaultLog() const;                            // Quorvel.log beside the program

    // Runs the program copy with the arguments (each one argument, as a shell would pass it);
    // `whileRunning` is given the started process's id. QUORVEL_RUN_WRAPPER (words split at
    // blanks, e.g. a valgrind command) is put before the program.
    testing_support::ProcessResult Run(const std::vector<std::string>& args,
                                       const Environment& environment = {},
                                       const std::function<void(int)>& whileRunning = {}) const;
    // The same with the given wrapper command first on the command line instead (under Wine,
    // before wine itself).
    testing_support::ProcessResult RunWrapped(
        const std::vector<std::string>& wrapper, const std::vector<std::string>& args,
        const Environment& environment = {},
        const std::function<void(int)>& whileRunning = {}) const;
    // Runs the companion program copy beside it the same way.
    testing_support::ProcessResult RunCheck(const std::vector<std::string>& args,
                                            const Environment& environment = {}) const;

    // Runs one of the test tools built beside the stand-in setup program (under Wine, its
    // Windows build), with arguments that hold no blanks.
    testing_support::ProcessResult RunTool(const std::string& name,
                                           const std::vector<std::string>& args) const;

    // A SetupApp command line that starts the stand-in setup program, which leaves the marker
    // `label` holding `args`, one per line.
    std::string MarkerCommand(const std::string& label,
                              const std::vector<std::string>& args = {}) const;
    // Waits until the named markers exist (or the time runs out); returns the markers present.
    std::vector<std::string> WaitForMarkers(const std::vector<std::string>& expected,
                                            std::chrono::milliseconds timeout =
                                                std::chrono::seconds(20)) const;
    // The markers present after a short grace period, for checks that nothing was started.
    std::vector<std::string> MarkersAfterGrace() const;
    std::string MarkerContent(const std::string& label) const;

    // A settings file of five entries with their files: "Missing install" (marker a) and
    // "Newer version" (marker d, a higher version with an older date) are due; "Current" (b)
    // is up to date, "No setup program" is skipped and "Missing master" (e) is not due. The
    // `more` entries follow them; `extra` lines go into [Quorvel].
    void WriteMixedEntries(const std::vector<AppEntry>& more = {},
                           const std::string& extra = "") const;
    // Writes a versioned PE in the test's folder with the given last-write time.
    void WritePeAt(const std::string& relative, const testing_support::VersionQuad& version,
                   time_t at) const;

    // The run value of the user's WIN.INI, and setting it (HOME's WIN.INI file on POSIX, the
    // registry under Wine). HomeEnvironment() gives the environment that points there.
    std::string ReadRunLine() const;
    void WriteRunLine(const std::string& value) const;
    bool RunLinePresent() const;
    // Under Wine, the machine's Run key value that starts the program for every user (the
    // MSI's registration); "" removes it.
    void WriteMachineRunValue(const std::string& value) const;
    Environment HomeEnvironment() const;
    // The program's own full path as the program reports it.
    std::string VisibleProgramPath() const;

    // From now on, when the tests run as root on POSIX, the program runs as an ordinary user
    // ("nobody", through setpriv), who is given HOME's folder and the folder "config" before
    // each run: registration writes nothing as root. Elsewhere nothing changes.
    void RunAsOrdinaryUser();

private:
    std::vector<std::string> Markers() const;
    testing_support::ProcessResult RunCopy(const std::string& fileName,
                                           const std::vector<std::string>& wrapper,
                                           const std::vector<std::string>& args,
                                           const Environment& environment,
                                           const std::function<void(int)>& whileRunning) const;

    testing_support::TempDir root_;
    std::string programFolder_ = "prog";
    std::vector<std::string> ordinaryUser_;  // setpriv's command line, or empty
};

// A settings file with [Quorvel] Count and one App section per entry.
std::string SettingsText(const std::vector<AppEntry>& entries, const std::string& extra = "");

}  // namespace system_tests
