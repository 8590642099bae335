// The edit of the run line, free of the profile: the tests call it with any separator.
#pragma once

#include <cstddef>
#include <string>

// `text` upper-cased in place by the system's mapping (CharUpperA).
std::string UpperCased(std::string text);

// The file-name key: the upper-cased path after its last separator (all of it without one).
std::string RunLineKey(const std::string& path, char separator);

// Position of the first occurrence of `key` in the upper-cased value, compared byte for byte;
// npos when absent. An empty key matches nothing, so no unrelated entry is ever removed.
size_t FindRunLineKey(const std::string& upperValue, const std::string& key);

// Where the run line `value` holds the program at `path` (compared by file name, ignoring
// case); npos when it does not.
size_t FindProgramInRunLine(const std::string& value, const std::string& path, char separator);

// Removes the entry holding position `match` (npos: nothing) with the one separator after it,
// trims trailing blanks and commas but never the first character, then appends one blank and
// `path` as given.
std::string EditRunLine(std::string value, size_t match, const std::string& path);

// The three steps above on one reading of the value.
std::string ComposeRunLine(const std::string& value, const std::string& path, char separator);
