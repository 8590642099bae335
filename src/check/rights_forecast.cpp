#include "check/rights_forecast.h"

#include "check/check_platform.h"
#include "check/manifest_text.h"
#include "check/text_format.h"
#include "platform/win32.h"
#include "text/ascii_case.h"

namespace {

const char kMachinePassFix[] = "put this entry in the machine pass";

std::string FileNameOf(const std::string& path)
{
    size_t cut = path.find_last_of(std::string("/\\"));
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// The word of the file name that makes installer detection take a program for an installer.
std::string InstallerWord(const std::string& program)
{
    std::string name = LowerAsciiText(FileNameOf(program));
    for (const char* word : {"install", "setup", "update"}) {
        if (name.find(word) != std::string::npos) {
            return word;
        }
    }
    return "";
}

void ForecastManifest(const std::string& program, bool machinePass, RightsFindings* found)
{
    ProgramManifest manifest = ReadProgramManifest(program);
    if (manifest.state == ManifestState::NotAProgram) {
        return;
    }
    if (manifest.state == ManifestState::TooLarge) {
        found->notes.push_back(program + ": its manifest is larger than " +
                               std::to_string(kManifestCap / 1024) +
                               " KiB and was not read: the rights it asks for are not known");
        return;
    }
    ManifestReading reading;
    if (manifest.state == ManifestState::Read) {
        reading = ReadManifestText(manifest.text);
        if (!reading.wellFormed || reading.level == ExecutionLevel::Unknown) {
            found->problems.push_back(
                program + ": its manifest is malformed" +
                (reading.wellFormed ? " (level=\"" + reading.levelText + "\" is no level)"
                                    : std::string(" (not well-formed XML)")) +
                ": Windows refuses to start it (error 14001, side-by-side configuration)");
            return;
        }
    }
    switch (reading.level) {
    case ExecutionLevel::RequireAdministrator:
        if (!machinePass) {
            found->problems.push_back(program +
                                      " needs administrator rights "
                                      "(requireAdministrator): a standard user's run cannot "
                                      "start it (error 740); " +
                                      std::string(kMachinePassFix));
        }
        return;
    case ExecutionLevel::HighestAvailable:
        found->notes.push_back(program +
                               " asks for the highest rights available "
                               "(highestAvailable): " +
                               (machinePass ? std::string("the machine pass has them all")
                                            : "a standard user's run starts it with standard "
                                              "rights, and an administrator's log-on run "
                                              "would ask to elevate"));
        return;
    case ExecutionLevel::AsInvoker:
    case ExecutionLevel::Unknown:
        return;
    case ExecutionLevel::Unstated:
        break;
    }
    std::string word = InstallerWord(program);
    if (!machinePass && manifest.is32Bit && !word.empty()) {
        found->notes.push_back(
            program +
            " is a 32-bit program whose manifest does not say which rights it needs, "
            "and its name holds \"" +
            word +
            "\": where installer detection is on (the Windows "
            "default outside a domain), Windows takes it for an installer and asks for "
            "administrator rights, so a standard user's run cannot start it (error 740); " +
            kMachinePassFix + ", or give it a manifest that asks asInvoker");
    }
}

// What the package itself says about its scope: ALLUSERS from its Property table.
std::string PackageScope(const std::string& package)
{
    PackageProperty allUsers = ReadPackageProperty(package, "ALLUSERS");
    if (!allUsers.read) {
        return " (the package's own ALLUSERS property was not read)";
    }
    return allUsers.set ? " (the package sets ALLUSERS=" + allUsers.value + ")"
                        : " (the package leaves ALLUSERS unset, which installs per user)";
}

void ForecastMsiexec(const std::vector<std::string>& arguments, bool machinePass,
                     RightsFindings* found)
{
    std::string name = LowerAsciiText(FileNameOf(arguments[0]));
    if (name != "msiexec" && name != "msiexec.exe") {
        return;
    }
    std::string package;
    bool install = false;
    bool quiet = false;
    std::string allUsers;
    for (size_t i = 1; i < arguments.size(); ++i) {
        std::string argument = LowerAsciiText(arguments[i]);
        if (argument == "/i" || argument == "-i" || argument == "/package" ||
            argument == "-package") {
            install = true;
            package = i + 1 < arguments.size() ? arguments[i + 1] : "";
        }
        quiet |= argument.compare(0, 3, "/qn") == 0 || argument.compare(0, 3, "-qn") == 0 ||
                 argument == "/quiet" || argument == "-quiet";
        if (argument.compare(0, 9, "allusers=") == 0) {
            allUsers = arguments[i];
        }
    }
    if (!install || machinePass) {
        return;
    }
    found->notes.push_back(
        "msiexec installs a package: a per-machine package (ALLUSERS=1, the usual case) needs "
        "administrator rights" +
        std::string(quiet ? ", and with /qn it cannot ask for them, so it fails in a standard "
                            "user's run"
                          : "") +
        "; " + kMachinePassFix + " unless the package installs per user" +
        (allUsers.empty() ? PackageScope(package) : " (the command line sets " + allUsers + ")"));
}

}  // namespace

RightsFindings ForecastSetupRights(const std::string& program,
                                   const std::vector<std::string>& arguments, bool machinePass)
{
    RightsFindings found;
    if (!program.empty()) {
        ForecastManifest(program, machinePass, &found);
    }
    if (!arguments.empty()) {
        ForecastMsiexec(arguments, machinePass, &found);
    }
    return found;
}

std::string DestinationWriteProblem(const std::string& destination)
{
    std::string folder = destination;
    for (;;) {
        size_t cut = folder.find_last_of(std::string("/") + kPathSeparator);
        if (cut == std::string::npos) {
            return "";
        }
        folder = folder.substr(0, cut == 0 ? 1 : cut);
        if (FolderExists(folder)) {
            break;
        }
        if (cut == 0) {
            return "";
        }
    }
    if (CanCreateIn(folder)) {
        return "";
    }
    return "this account cannot create files in " + folder +
           ": the setup, run as this user, cannot write there";
}

std::string RightsText(bool machinePass)
{
    return std::string("this report is made ") +
           (CheckRunsAsAdministrator() ? "by an administrator" : "without administrator rights") +
           "; the pass checked is " +
           (machinePass ? "the machine pass, run as the system account: setups start with full "
                          "rights"
                        : "a user's log-on pass: setups start with that user's rights, never "
                          "elevated (under UAC not even an administrator's)");
}
