// Starting the run line's programs at log-on. On Windows the platform itself starts what the
// run line of the user's WIN.INI names; a desktop session on POSIX starts what its XDG
// autostart folder holds instead. So whenever the run line is written, each program it names
// gets an autostart entry there.
#pragma once

#include <string>
#include <string_view>

namespace posix::profile {

// $XDG_CONFIG_HOME/autostart when that variable holds an absolute path, otherwise
// <home>/.config/autostart; empty without a home.
std::string AutostartFolder();

// One argument of a desktop entry's Exec key, quoted and escaped so that a session gives back
// exactly `argument`; empty when it holds a control character no entry can carry.
std::string QuotedExecArgument(std::string_view argument);

// The autostart entry that starts `program` (an absolute path) without a terminal or a menu
// item; empty when the path cannot be written into one.
std::string AutostartEntryText(std::string_view program);

// Why an autostart entry cannot carry `program` exactly, in words ("" when it can): a path
// that is not absolute, a blank, a comma, a '%', a quote, a backslash, a '$' or a '`', a
// control character or bytes that are not UTF-8. Such a path gets no entry, so that no entry
// ever starts a fragment of it or one that a session would refuse.
std::string WhyAutostartCannotCarry(std::string_view program);

// Writes `<file name>.desktop` into the user's own autostart folder for `program`, the running
// program itself, when the run line holds its path as one whole entry; an entry of that name
// is replaced atomically. No other entry of the run line, nor a fragment of one, ever gets an
// autostart entry. Nothing is written by the superuser, into a home the effective user does
// not own, or through a symbolic link. True when the entry was written or none was needed.
bool StartProgramAtLogOn(std::string_view runLine, const std::string& program);

}  // namespace posix::profile
