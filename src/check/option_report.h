// The option pass of the log-on program, replayed without acting: which settings file and log
// it would use and where each came from, and why a line of switches would be refused.
#pragma once

#include <string>
#include <vector>

struct OptionReport {
    std::string optionsPath;  // Quorvel.cfg beside the program ("" when no path)
    bool optionsFound = false;
    std::string settingsPath;
    std::string settingsOrigin = "default";  // or "options file line N", "command tail"
    std::string logPath;
    std::string logOrigin = "default";
    bool logOn = true;
    std::string logSwitchOrigin = "default";
    std::vector<std::string> registrations;  // where an install switch would register
    bool refused = false;
    std::string refusedWhere;  // "options file line N" or "command tail"
    std::string refusedItem;
    std::string refusedWhy;
};

// Applies one line of switches to the report as the log-on program would, without acting.
// `where` names the line; false when the line would be refused (the report says why).
bool ReplaySwitchLine(const std::string& line, const std::string& where, OptionReport* report);

// Replays the options file beside the program, then the command tail (without the check's own
// switches); stops at a refusal.
OptionReport ReplayOptionPass(const std::string& commandTail);
