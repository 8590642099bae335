// The companion program's whole run: it reports what the log-on program would do here and
// why, and changes nothing.
#pragma once

#include <string>
#include <vector>

// Exit status bits for scripts.
constexpr int kRefusedBit = 1;  // a line of switches would be refused
constexpr int kProblemBit = 2;  // problems were found
constexpr int kDueBit = 4;      // at least one entry is due

// `arguments` are the command-line arguments after the program name; `rawTail` is the command
// tail as the log-on program would receive it for the same arguments, and `joinTail` rebuilds
// a tail from arguments by the platform's start-up rule (used once the check's own switches
// are taken out). The report goes to `out`; returns the exit status.
int RunCheck(const std::vector<std::string>& arguments, const std::string& rawTail,
             std::string (*joinTail)(const std::vector<std::string>&), std::string* out);
