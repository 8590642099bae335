#pragma once

#include <string>
#include <vector>

// Joins the arguments after the program name with one blank. A switch value
// (/name=value) holding a blank, a tab or a slash is put in double quotes, unless it already
// begins with one, so that it stays one value.
std::string BuildCommandTail(int argc, char** argv);
// The same rule over the arguments alone (without the program name).
std::string BuildCommandTail(const std::vector<std::string>& arguments);
