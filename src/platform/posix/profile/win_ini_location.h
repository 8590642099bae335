// Where the user's WIN.INI lives on POSIX.
#pragma once

#include <string>

namespace posix::profile {

// The user's home folder with a trailing '/': $HOME, or the password database's home
// directory when HOME is unset or empty; empty when neither gives a home.
std::string UserHome();

// $HOME/.config/win.ini, with the password database's home directory when HOME is unset or
// empty; empty when neither gives a home.
std::string WinIniPath();

}  // namespace posix::profile
