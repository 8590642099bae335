// The arguments a setup command line starts a program with on POSIX.
#pragma once

#include <string>
#include <vector>

namespace posix::process {

// The first word of an unquoted command line when a longer stretch of the line, up to a later
// blank, names an existing file: the line means a program path with a blank, and whoever can
// create the first word's file runs a program in its place. "" otherwise.
std::string PlantableFirstWord(const std::string& commandLine);

// Split by the Windows rules; but an unquoted program path may hold blanks, so, as the real
// platform does, ever longer stretches of the line up to each blank are tried until one names
// a program this user may start. The superuser searches nothing blank by blank, and starts
// nothing when PlantableFirstWord names a file: no arguments then.
std::vector<std::string> ProgramArguments(const std::string& commandLine);

}  // namespace posix::process
