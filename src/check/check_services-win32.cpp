// What the companion program asks of the Windows platform beyond the Win32 subset.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "check/check_platform.h"
#include "platform/win32.h"
#include "text/windows_command_line.h"

namespace {

const char kMachineRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kMachineRunValue[] = "Quorvel";
constexpr size_t kTriedListed = 4;  // candidates of the blank search named one by one

std::string FolderOfPath(const std::string& path)
{
    size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? "." : path.substr(0, cut == 0 ? 1 : cut);
}

// With the separator, a drive ("C:") names its root.
std::string AsFolder(const std::string& path)
{
    return !path.empty() && path.back() == ':' ? path + "\\" : path;
}

bool EndsWithIgnoringCase(const std::string& text, const char* suffix)
{
    std::string tail = text.substr(text.size() - std::min(text.size(), std::strlen(suffix)));
    return lstrcmpiA(tail.c_str(), suffix) == 0;
}

// The folders CreateProcessA searches for a program named without a path, in its order: the
// starting program's folder, the current folder, the system folders, the Windows folder, PATH.
std::string ProgramSearchPath()
{
    char module[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string path = length > 0 && length < MAX_PATH ? FolderOfPath(module) + ";." : ".";
    char folder[MAX_PATH];
    if (GetSystemDirectoryA(folder, MAX_PATH) - 1u < MAX_PATH - 1u) {
        path += std::string(";") + folder;
    }
    if (GetWindowsDirectoryA(folder, MAX_PATH) - 1u < MAX_PATH - 1u) {
        path += std::string(";") + folder + "\\system;" + folder;
    }
    std::vector<char> variable(32768);
    DWORD got = GetEnvironmentVariableA("PATH", variable.data(),
                                        static_cast<DWORD>(variable.size()));
    if (got > 0 && got < variable.size()) {
        path += std::string(";") + variable.data();
    }
    return path;
}

// The names CreateProcessA tries for a command line: a quoted program, or each stretch of an
// unquoted line up to a blank, shortest first.
std::vector<std::string> ProgramCandidates(const std::string& line, size_t start)
{
    if (line[start] == '"') {
        size_t close = line.find('"', start + 1);
        return {line.substr(start + 1, close == std::string::npos ? close : close - start - 1)};
    }
    std::vector<std::string> candidates;
    for (size_t blank = line.find_first_of(" \t", start);;
         blank = line.find_first_of(" \t", blank + 1)) {
        candidates.push_back(line.substr(start,
                                         blank == std::string::npos ? blank : blank - start));
        if (blank == std::string::npos) {
            return candidates;
        }
    }
}

// The file SearchPathA gives for a candidate, "" for none or a folder (the search goes on).
std::string SearchedFile(const std::string& searchPath, const std::string& candidate)
{
    char found[MAX_PATH];
    DWORD length = SearchPathA(searchPath.c_str(), candidate.c_str(), ".exe", MAX_PATH, found,
                               nullptr);
    if (length == 0 || length >= MAX_PATH) {
        return "";
    }
    DWORD attributes = GetFileAttributesA(found);
    return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
               ? ""
               : found;
}

// The file whose creation would take the program's place: the first candidate of an unquoted
// line (with the ".exe" the search adds) when a longer one names a file; "" otherwise.
std::string PlantableFirstWord(const std::vector<std::string>& tried, const std::string& searchPath)
{
    if (tried.size() < 2 || tried.front().find_first_of("\\/:") == std::string::npos) {
        return "";
    }
    for (size_t i = 1; i < tried.size(); ++i) {
        if (!SearchedFile(searchPath, tried[i]).empty()) {
            const std::string& first = tried.front();
            size_t name = first.find_last_of("\\/:");
            bool extension = first.find('.', name) != std::string::npos;
            return extension ? first : first + ".exe";
        }
    }
    return "";
}

std::string NotFoundWords(const std::vector<std::string>& tried)
{
    if (tried.size() == 1) {
        const std::string& name = tried[0];
        return name.find_first_of("\\/:") == std::string::npos
                   ? name + " is in none of the folders searched (the program's folder, the "
                            "current folder, the system folders and PATH)"
                   : name + ": " + WhyNotFound(name);
    }
    std::string text = "no stretch of the unquoted command line up to a blank names a program "
                       "(tried ";
    for (size_t i = 0; i < tried.size() && i < kTriedListed; ++i) {
        text += (i ? ", " : "") + tried[i];
    }
    // Every program path that quotes could mark ends at a blank or at the end of the line, so
    // it is one of the stretches tried: quoting would find none either.
    return text + (tried.size() > kTriedListed ? ", ...)" : ")") + ": check the program's path";
}

std::string MachineRunWhere(const char* view)
{
    return std::string("HKEY_LOCAL_MACHINE\\") + kMachineRunKey + ", value " + kMachineRunValue +
           view;
}

void AddMachineRunStart(REGSAM view, const char* viewName, std::vector<LogonStart>* starts)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMachineRunKey, 0, KEY_QUERY_VALUE | view, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    char data[1024];
    DWORD size = sizeof data - 1;
    DWORD type = REG_NONE;
    LONG read = RegQueryValueExA(key, kMachineRunValue, nullptr, &type,
                                 reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return;
    }
    data[size] = '\0';
    std::string command = data;
    char expanded[1024];
    if (type == REG_EXPAND_SZ &&
        ExpandEnvironmentStringsA(data, expanded, sizeof expanded) - 1u < sizeof expanded - 1u) {
        command = expanded;
    }
    LogonStart start;
    start.label = "machine Run";
    start.where = MachineRunWhere(viewName);
    SetupForecast forecast = ForecastSetupStart(command);
    start.starts = forecast.starts;
    start.state = command + (forecast.starts ? ": starts " + forecast.program : "");
    if (!forecast.starts) {
        start.problem = "it names a program that cannot start: " + forecast.why;
    }
    starts->push_back(start);
}

// True when `path`, which must exist, opens with `access`: the right is checked and nothing is
// written, nor are the file's times changed.
bool OpensWith(const std::string& path, DWORD access, DWORD flags)
{
    HANDLE handle = CreateFileA(path.c_str(), access,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(handle);
    return true;
}

bool OnSixtyFourBitWindows()
{
    BOOL wow64 = FALSE;
    return sizeof(void*) == 8 || (IsWow64Process(GetCurrentProcess(), &wow64) && wow64);
}

}  // namespace

const char* LogonProgramFileName()
{
    return "quorvel.exe";
}

const char* LogonCurrentFolder()
{
    return "at log-on, whatever folder Windows starts the program in";
}

std::string LogFileProblem(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return "the log is a reparse point (a link), which no run writes to: every line is "
               "dropped. Remove it; a run creates the log afresh";
    }
    HANDLE file = CreateFileA(path.c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "";
    }
    BY_HANDLE_FILE_INFORMATION information{};
    DWORD type = GetFileType(file);
    bool known = GetFileInformationByHandle(file, &information) != 0;
    CloseHandle(file);
    if (type != FILE_TYPE_DISK) {
        return "the log is a device or a pipe, which no run writes to: every line is dropped";
    }
    if (known && information.nNumberOfLinks > 1) {
        return "the log has " + std::to_string(information.nNumberOfLinks) +
               " names (hard "
               "links), so it may be another file linked in: no run writes to it, and every "
               "line is dropped. Remove this name; a run creates the log afresh";
    }
    return "";
}

bool CheckOutputIsUtf8()
{
    return false;  // the console shows the ANSI code page, whose bytes are all characters
}

std::string WhyNoLogOnEntry(const std::string&)
{
    return "";  // the run line itself starts the program
}

SetupForecast ForecastSetupStart(const std::string& commandLine)
{
    SetupForecast forecast;
    forecast.arguments = SplitWindowsCommandLine(commandLine);
    size_t start = commandLine.find_first_not_of(" \t");
    if (start == std::string::npos) {
        forecast.why = "the command line names no program";
        return forecast;
    }
    std::vector<std::string> tried = ProgramCandidates(commandLine, start);
    std::string searchPath = ProgramSearchPath();
    forecast.plantable = PlantableFirstWord(tried, searchPath);
    for (const std::string& candidate : tried) {
        std::string found = SearchedFile(searchPath, candidate);
        if (found.empty()) {
            continue;
        }
        forecast.program = found;
        if (candidate != tried.front()) {
            forecast.how = "found by trying the unquoted command line up to each blank; the "
                           "program still sees its path split at the blanks, so quote it";
        }
        DWORD type = 0;
        if (EndsWithIgnoringCase(found, ".bat") || EndsWithIgnoringCase(found, ".cmd")) {
            forecast.starts = true;
            forecast.how += std::string(forecast.how.empty() ? "" : "; ") +
                            "a batch file: run by cmd.exe";
        } else if (GetBinaryTypeA(found.c_str(), &type)) {
            forecast.starts = true;
        } else {
            forecast.why = found + " is not a program Windows can start";
        }
        return forecast;
    }
    forecast.why = NotFoundWords(tried);
    return forecast;
}

std::string WhyNotFound(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    DWORD error = GetLastError();
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        return "found now: it could not be found a moment ago";
    }
    bool pattern = path.find_first_of("*?") != std::string::npos;
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return pattern ? "no name in " + FolderOfPath(path) + " matches the pattern"
                       : "no such file";
    case ERROR_PATH_NOT_FOUND:
        return "its folder " + FolderOfPath(path) +
               " does not exist, or its share or server "
               "cannot be reached";
    case ERROR_ACCESS_DENIED:
        return "access denied";
    case ERROR_BAD_NETPATH:
        return "the network path was not found: the server cannot be reached";
    case ERROR_BAD_NET_NAME:
        return "that server has no such share";
    case ERROR_LOGON_FAILURE:
        return "this user may not use the share";
    case ERROR_NOT_READY:
        return "the drive is not ready";
    case ERROR_INVALID_DRIVE:
        return "no such drive";
    case ERROR_INVALID_NAME:
        return "not a valid path: a wildcard in a folder's name, a double quote, or a file "
               "used as a folder";
    default:
        return "Windows error " + std::to_string(error);
    }
}

bool FolderExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(AsFolder(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CanAppendTo(const std::string& path)
{
    return OpensWith(path, FILE_APPEND_DATA, FILE_ATTRIBUTE_NORMAL);
}

bool CanCreateIn(const std::string& folder)
{
    // The folder itself, opened for the right to add a file.
    return OpensWith(AsFolder(folder), FILE_ADD_FILE, FILE_FLAG_BACKUP_SEMANTICS);
}

std::string LogSharing(const std::string&, bool)
{
    return "";  // a new file takes its folder's permissions: the folder's rights decide
}

std::vector<LogonStart> LogonStartsBesideRunLine()
{
    // A 64-bit system keeps the key twice, once for each kind of program.
    std::vector<LogonStart> starts;
    if (OnSixtyFourBitWindows()) {
        AddMachineRunStart(KEY_WOW64_64KEY, " (64-bit view)", &starts);
        AddMachineRunStart(KEY_WOW64_32KEY, " (32-bit view)", &starts);
    } else {
        AddMachineRunStart(0, "", &starts);
    }
    if (starts.empty()) {
        LogonStart absent;
        absent.label = "machine Run";
        absent.where = MachineRunWhere("");
        absent.state = "absent";
        starts.push_back(absent);
    }
    return starts;
}

bool RunLineStartsAtLogOn()
{
    return true;
}

const char* StartWithoutRunLine()
{
    return "install it in a folder whose path has neither, or register it for every user in "
           "the machine's Run key, as the MSI does";
}
