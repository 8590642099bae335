#include "system/system_fixture.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <thread>

#include "support/pe_fixture.h"
#include "text/argv_tail.h"

namespace system_tests {

namespace fs = std::filesystem;
using testing_support::ProcessResult;

namespace {

constexpr size_t kCreateProcessPathLimit = 260;

const char kRunKey[] = "HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";

std::string EnvOrEmpty(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string ProgramFileName()
{
    return fs::path(EnvOrEmpty("QUORVEL_PROGRAM")).filename().string();
}

std::string CheckFileName()
{
    return fs::path(EnvOrEmpty("QUORVEL_CHECK")).filename().string();
}

// C:\ style path for Wine's Z: drive, which maps the POSIX root.
std::string WinePath(const std::string& native)
{
    std::string path = "Z:" + native;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

ProcessResult RunWineTool(const std::vector<std::string>& args)
{
    std::vector<std::string> argv{"wine"};
    argv.insert(argv.end(), args.begin(), args.end());
    return testing_support::RunProcess(argv, {{"WINEDEBUG", "-all"}});
}

}  // namespace

bool UnderWine()
{
    return EnvOrEmpty("QUORVEL_TARGET") == "wine" || UnderWine32();
}

bool UnderWine32()
{
    return EnvOrEmpty("QUORVEL_TARGET") == "wine32";
}

void WriteVersionedPe(const std::string& path, const testing_support::VersionQuad& version)
{
    using testing_support::PeKind;
    testing_support::WritePeWithVersion(path, version,
                                        UnderWine32() ? PeKind::Pe32 : PeKind::Pe32Plus);
}

SystemTest::SystemTest()
{
    fs::create_directories(root_ / "prog");
    fs::create_directories(root_ / "markers");
    fs::create_directories(root_ / "home");
    std::string program = EnvOrEmpty("QUORVEL_PROGRAM");
    if (program.empty() || !fs::exists(program)) {
        ADD_FAILURE() << "QUORVEL_PROGRAM does not name the built program: " << program;
        return;
    }
    fs::copy_file(program, BesideProgram(ProgramFileName()));
    std::string check = EnvOrEmpty("QUORVEL_CHECK");
    if (!check.empty() && fs::exists(check)) {
        fs::copy_file(check, BesideProgram(CheckFileName()));
    }
}

void SystemTest::MoveProgram(const std::string& relative)
{
    fs::create_directories(Native(relative));
    std::string from = BesideProgram(ProgramFileName());
    programFolder_ = relative;
    fs::rename(from, BesideProgram(ProgramFileName()));
}

std::string SystemTest::Visible(const std::string& relative) const
{
    return UnderWine() ? WinePath(Native(relative)) : Native(relative);
}

std::string SystemTest::VisibleProgramPath() const
{
    std::string native = BesideProgram(ProgramFileName());
    return UnderWine() ? WinePath(native) : native;
}

void SystemTest::WriteOptionsFile(const std::string& content) const
{
    testing_support::WriteFile(BesideProgram("Quorvel.cfg"), content);
}

void SystemTest::WriteSettingsFile(const std::string& content) const
{
    testing_support::WriteFile(BesideProgram("Quorvel.ini"), content);
}

std::string SystemTest::DefaultLog() const
{
    return BesideProgram("Quorvel.log");
}

Environment SystemTest::HomeEnvironment() const
{
    return {{"HOME", Native("home")}};
}

ProcessResult SystemTest::Run(const std::vector<std::string>& args, const Environment& environment,
                              const std::function<void(int)>& whileRunning) const
{
    std::istringstream words(EnvOrEmpty("QUORVEL_RUN_WRAPPER"));
    std::vector<std::string> wrapper{std::istream_iterator<std::string>(words),
                                     std::istream_iterator<std::string>()};
    ProcessResult result = RunCopy(ProgramFileName(), wrapper, args, environment, whileRunning);
    // The program itself never writes a word, so anything a wrapper printed is its finding.
    if (!wrapper.empty() && !result.output.empty()) {
        ADD_FAILURE() << wrapper[0] << " reported:\n" << result.output;
    }
    return result;
}

ProcessResult SystemTest::RunWrapped(const std::vector<std::string>& wrapper,
                                     const std::vector<std::string>& args,
                                     const Environment& environment,
                                     const std::function<void(int)>& whileRunning) const
{
    return RunCopy(ProgramFileName(), wrapper, args, environment, whileRunning);
}

ProcessResult SystemTest::RunCheck(const std::vector<std::string>& args,
                                   const Environment& environment) const
{
    return RunCopy(CheckFileName(), {}, args, environment, {});
}

void SystemTest::RunAsOrdinaryUser()
{
    const passwd* nobody = getpwnam("nobody");
    if (UnderWine() || geteuid() != 0 || nobody == nullptr) {
        return;
    }
    // The program and its settings must be reachable, and files the tests have the program
    // leave beside them (a fault count) writable.
    chmod(Native("").c_str(), 01777);
    ordinaryUser_ = {"setpriv", "--reuid=" + std::to_string(nobody->pw_uid),
                     "--regid=" + std::to_string(nobody->pw_gid), "--clear-groups"};
}

ProcessResult SystemTest::RunCopy(const std::string& fileName,
                                  const std::vector<std::string>& wrapper,
                                  const std::vector<std::string>& args,
                                  const Environment& environment,
                                  const std::function<void(int)>& whileRunning) const
{
    std::vector<std::string> argv;
    Environment env = environment;
    std::string native = BesideProgram(fileName);
    if (UnderWine()) {
        // The tail a user would type: the arguments joined, a switch value with blanks in
        // double quotes, which is what the POSIX start-up rebuilds from its arguments too.
        std::vector<std::string> all{fileName};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> pointers;
        for (std::string& arg : all) {
            pointers.push_back(&arg[0]);
        }
        std::string launcher =
            (fs::path(EnvOrEmpty("QUORVEL_MARKER")).parent_path() / "run_tail.exe").string();
        argv = {"wine", launcher, WinePath(native),
                BuildCommandTail(static_cast<int>(pointers.size()), pointers.data())};
        // CreateProcess refuses a program path of MAX_PATH or more; Wine's own loader takes
        // it, with Wine's quoting of the arguments.
        if (VisibleProgramPath().size() >= kCreateProcessPathLimit) {
            argv = {"wine", VisibleProgramPath()};
            argv.insert(argv.end(), args.begin(), args.end());
        }
        env.emplace("WINEDEBUG", "-all");
    } else {
        argv.push_back(native);
        argv.insert(argv.end(), args.begin(), args.end());
    }
    argv.insert(argv.begin(), wrapper.begin(), wrapper.end());
    if (!ordinaryUser_.empty()) {
        const passwd* nobody = getpwnam("nobody");
        fs::create_directories(Native("home"));
        fs::create_directories(Native("config"));
        for (const char* folder : {"home", "config"}) {
            bool given = lchown(Native(folder).c_str(), nobody->pw_uid, nobody->pw_gid) == 0;
            for (const auto& entry : fs::recursive_directory_iterator(Native(folder))) {
                given = lchown(entry.path().c_str(), nobody->pw_uid, nobody->pw_gid) == 0 && given;
            }
            EXPECT_TRUE(given) << "cannot give " << Native(folder) << " to nobody";
        }
        // A preloaded library is handed to the program itself, not to setpriv.
        auto preload = env.find("LD_PRELOAD");
        if (preload != env.end()) {
            argv.insert(argv.begin(), {"env", "LD_PRELOAD=" + preload->second});
            env.erase(preload);
        }
        argv.insert(argv.begin(), ordinaryUser_.begin(), ordinaryUser_.end());
    }
    if (!env.count("HOME")) {
        env.emplace("HOME", Native("home"));
    }
    // The user's own autostart folder stays out of reach: entries go under the test's HOME.
    env.emplace("XDG_CONFIG_HOME", "\x01unset");
    return testing_support::RunProcess(argv, env, Native(""), whileRunning);
}

ProcessResult SystemTest::RunTool(const std::string& name,
                                  const std::vector<std::string>& args) const
{
    fs::path folder = fs::path(EnvOrEmpty("QUORVEL_MARKER")).parent_path();
    std::vector<std::string> argv;
    if (UnderWine()) {
        argv = {"wine", (folder / (name + ".exe")).string()};
    } else {
        argv = {(folder / name).string()};
    }
    argv.insert(argv.end(), args.begin(), args.end());
    return testing_support::RunProcess(argv, {{"WINEDEBUG", "-all"}}, Native(""));
}

std::string SystemTest::MarkerCommand(const std::string& label,
                                      const std::vector<std::string>& args) const
{
    std::string marker = EnvOrEmpty("QUORVEL_MARKER");
    std::string command = (UnderWine() ? WinePath(marker) : marker) + " " + Visible("markers") +
                          " " + label;
    for (const std::string& arg : args) {
        command += " " + arg;
    }
    return command;
}

void SystemTest::WritePeAt(const std::string& relative, const testing_support::VersionQuad& version,
                           time_t at) const
{
    WriteVersionedPe(Native(relative), version);
    struct timespec times[2] = {{at, 0}, {at, 0}};
    EXPECT_EQ(utimensat(AT_FDCWD, Native(relative).c_str(), times, 0), 0) << relative;
}

void SystemTest::WriteMixedEntries(const std::vector<AppEntry>& more,
                                   const std::string& extra) const
{
    const time_t moment = 1780000000;
    const testing_support::VersionQuad older = {0x00010000, 0, 0x00010000, 0};
    const testing_support::VersionQuad newer = {0x00010001, 0, 0x00010000, 0};
    WritePeAt("master-a.exe", older, moment);
    WritePeAt("master-b.exe", older, moment);
    WritePeAt("installed-b.exe", older, moment);
    WritePeAt("master-d.exe", newer, moment - 86400);
    WritePeAt("installed-d.exe", older, moment);
    std::vector<AppEntry> entries = {
        {"Missing install", Visible("master-a.exe"), Visible("installed-a.exe"),
         MarkerCommand("a")},
        {"Current", Visible("master-b.exe"), Visible("installed-b.exe"), MarkerCommand("b")},
        {"No setup program", Visible("master-a.exe"), Visible("installed-a.exe"), ""},
        {"Newer version", Visible("master-d.exe"), Visible("installed-d.exe"), MarkerCommand("d")},
        {"Missing master", Visible("nowhere.exe"), Visible("installed-b.exe"), MarkerCommand("e")},
    };
    entries.insert(entries.end(), more.begin(), more.end());
    WriteSettingsFile(SettingsText(entries, extra));
}

std::vector<std::string> SystemTest::Markers() const
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Native("markers"))) {
        std::string name = entry.path().filename().string();
        if (name.find(".partial") == std::string::npos) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> SystemTest::WaitForMarkers(const std::vector<std::string>& expected,
                                                    std::chrono::milliseconds timeout) const
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        std::vector<std::string> present = Markers();
        bool all = std::all_of(expected.begin(), expected.end(), [&](const std::string& name) {
            return std::find(present.begin(), present.end(), name) != present.end();
        });
        if (all || std::chrono::steady_clock::now() >= deadline) {
            return present;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

std::vector<std::string> SystemTest::MarkersAfterGrace() const
{
    std::this_thread::sleep_for(std::chrono::milliseconds(UnderWine() ? 3000 : 500));
    return Markers();
}

std::string SystemTest::MarkerContent(const std::string& label) const
{
    return testing_support::ReadFile(Native("markers/" + label));
}

std::string SystemTest::ReadRunLine() const
{
    if (UnderWine()) {
        ProcessResult result = RunWineTool({"reg", "query", kRunKey, "/v", "run"});
        // A line of the form "    run    REG_SZ    <value>".
        std::istringstream lines(result.output);
        std::string line;
        const std::string tag = "REG_SZ";
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            size_t at = line.find(tag);
            if (line.find("run") != std::string::npos && at != std::string::npos) {
                // reg separates the type from the value with four blanks.
                return at + tag.size() + 4 <= line.size() ? line.substr(at + tag.size() + 4) : "";
            }
        }
        return "";
    }
    // The POSIX WIN.INI keeps a value with blanks at its ends inside double quotes.
    std::istringstream lines(testing_support::ReadFile(Native("home/.config/win.ini")));
    std::string line;
    bool inWindows = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && line[0] == '[') {
            inWindows = line == "[windows]";
        } else if (inWindows && line.rfind("run=", 0) == 0) {
            std::string value = line.substr(4);
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
                value = value.substr(1, value.size() - 2);
            }
            return value;
        }
    }
    return "";
}

bool SystemTest::RunLinePresent() const
{
    if (UnderWine()) {
        return RunWineTool({"reg", "query", kRunKey, "/v", "run"}).exitStatus == 0;
    }
    return testing_support::FileExists(Native("home/.config/win.ini"));
}

void SystemTest::WriteMachineRunValue(const std::string& value) const
{
    const char key[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    if (value.empty()) {
        RunWineTool({"reg", "delete", key, "/v", "Quorvel", "/f"});
    } else {
        RunWineTool({"reg", "add", key, "/v", "Quorvel", "/t", "REG_SZ", "/d", value, "/f"});
    }
}

void SystemTest::WriteRunLine(const std::string& value) const
{
    if (UnderWine()) {
        if (value.empty()) {
            RunWineTool({"reg", "delete", kRunKey, "/v", "run", "/f"});
        } else {
            RunWineTool({"reg", "add", kRunKey, "/v", "run", "/t", "REG_SZ", "/d", value, "/f"});
        }
        return;
    }
    fs::create_directories(Native("home/.config"));
    testing_support::WriteFile(Native("home/.config/win.ini"),
                               "[windows]\r\nrun=\"" + value + "\"\r\n");
}

std::string SettingsText(const std::vector<AppEntry>& entries, const std::string& extra)
{
    std::string text = "[Quorvel]\r\nCount=" + std::to_string(entries.size()) + "\r\n" + extra;
    for (size_t i = 0; i < entries.size(); ++i) {
        const AppEntry& entry = entries[i];
        text += "[App" + std::to_string(i + 1) + "]\r\nName=" + entry.name +
                "\r\nSource=" + entry.source + "\r\nDestination=" + entry.destination +
                "\r\nSetupApp=" + entry.setupApp + "\r\n";
    }
    return text;
}

}  // namespace system_tests
