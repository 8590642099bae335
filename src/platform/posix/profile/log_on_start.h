// Starting the run line's programs at log-on. On Windows the platform itself starts what the
// run line of the user's WIN.INI names; a desktop session on POSIX starts what its XDG
// autostart folder holds instead. So whenever the run line is written, each program it names
// gets an autostart entry there.
#pragma once

#include <string>
#include <string_view>

namespace profile {

// $XDG_CONFIG_HOME/autostart when that variable holds an absolute path, otherwise
// <home>/.config/autostart; empty without a home.
std::string AutostartFolder();

// One argument of a desktop entry's Exec key, quoted and escaped so that a session gives back
// exactly `argument`; empty when it holds a control character no entry can carry.
std::string QuotedExecArgument(std::string_view argument);

// The autostart entry that starts `program` (an absolute path) without a terminal or a menu
// item; empty when the path cannot be written into one.
std::string AutostartEntryText(std::string_view program);

// Writes `<file name>.desktop` into the autostart folder for each entry of the run line (the
// entries are separated by blanks and commas) that is the absolute path of a regular file,
// replacing an entry of that name atomically: a program of the same file name registered from
// another folder replaces the earlier one, as on the run line. False when one of them could
// not be written.
bool StartRunLineProgramsAtLogOn(std::string_view runLine);

}  // namespace profile
