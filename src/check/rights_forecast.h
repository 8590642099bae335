// Which rights a setup program needs, against the rights of the pass that would start it: a
// user's log-on pass (a standard user's rights; under UAC even an administrator's log-on run is
// not elevated) or the machine pass (the system account).
#pragma once

#include <string>
#include <vector>

struct RightsFindings {
    std::vector<std::string> problems;  // each a sentence about the setup program
    std::vector<std::string> notes;
};

// The setup program's manifest (`program` is the file that would run, `arguments` the command
// line split as it receives it, its name first) and an msiexec install.
RightsFindings ForecastSetupRights(const std::string& program,
                                   const std::vector<std::string>& arguments, bool machinePass);

// A problem for a user's pass when this account cannot create files where `destination`
// would go (its folder, or the nearest folder above it that exists); "" otherwise.
std::string DestinationWriteProblem(const std::string& destination);

// "this report: made by an administrator; the pass: ...", for the configuration.
std::string RightsText(bool machinePass);
