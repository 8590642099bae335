#pragma once

#include <string>

// Joins the arguments after the program name with one blank. A switch value
// (/name=value) holding a blank, a tab or a slash is put in double quotes, unless it already
// begins with one, so that it stays one value.
std::string BuildCommandTail(int argc, char** argv);
