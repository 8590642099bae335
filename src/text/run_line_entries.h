// The run line's entries: maximal stretches between blanks and commas, with no quoting. The
// registration edits the line by this rule, a POSIX log-on start reads the line's programs by
// it, and the companion lists the line's entries by it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

bool IsRunLineSeparator(char c);

struct RunLineEntry {
    size_t begin;  // where the entry starts in the line
    size_t end;    // just after its last character
    std::string text;
};

// The entries of `line` in order; runs of separators give no empty entry.
std::vector<RunLineEntry> RunLineEntries(std::string_view line);
