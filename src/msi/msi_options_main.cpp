// The MSI's actions on the options file and the scheduled tasks: a program the installer runs
// from its own tables (it is never installed), with a command line that ends in
//   |write|FOLDER|SETTINGS|LOG|MACHINESETTINGS|MACHINELOG|MACHINEHOURS|USERHOURS
//        checks every property first; then registers the task \Quorvel\Machine when
//        MACHINESETTINGS is given (its log MACHINELOG, or LOG) and \Quorvel\User when
//        USERHOURS is more than 0, keeping a copy of each task's XML in FOLDER; then writes
//        FOLDER\Quorvel.cfg from SETTINGS and LOG (either may be empty), replacing the file
//        whole, or leaves it as it was. When a step fails, the tasks it registered go again.
//   |keep|FOLDER      moves Quorvel.cfg and the task copies aside while an upgrade removes the
//   |restore|FOLDER   older version, and back once it is gone
//   |remove|FOLDER    removes Quorvel.cfg, the tasks and their copies; what was moved aside
//                     stays, and a task whose copy was moved aside stays registered, since the
//                     older version's uninstall may run between the two moves
// FOLDER ends in a backslash. A '|' cannot stand in a Windows path, so the fields are
// unambiguous. Silent, like the log-on program: the exit status is the only report, and the
// installer's log records it (0 done, 1 a malformed command line, 2 a property that the
// options file or a task cannot carry, 3 a file or a task that could not be written, moved,
// registered or removed).
#include <windows.h>

#include <cstddef>
#include <cwchar>
#include <string>

#include "msi/options_file_text.h"
#include "msi/scheduled_task_xml.h"

namespace {

constexpr int kMalformed = 1;
constexpr int kUnwritablePath = 2;
constexpr int kFileFailed = 3;

// One field of the command line: a stretch between two '|' or after the last.
struct Field {
    const wchar_t* text;
    size_t length;
};

bool Equals(const Field& field, const wchar_t* word)
{
    return field.length == std::wcslen(word) && std::wcsncmp(field.text, word, field.length) == 0;
}

// The fields after the first '|'; false unless there are exactly `count`.
bool SplitFields(const wchar_t* line, Field* fields, size_t count)
{
    const wchar_t* at = std::wcschr(line, L'|');
    size_t found = 0;
    while (at != nullptr) {
        const wchar_t* start = at + 1;
        at = std::wcschr(start, L'|');
        size_t length = at != nullptr ? static_cast<size_t>(at - start) : std::wcslen(start);
        if (found == count) {
            return false;
        }
        fields[found++] = Field{start, length};
    }
    return found == count;
}

std::wstring Text(const Field& field)
{
    return std::wstring(field.text, field.length);
}

// FOLDER followed by `name` into `out` (room MAX_PATH); false when it does not fit.
bool PathInFolder(const Field& folder, const wchar_t* name, wchar_t* out)
{
    size_t nameLength = std::wcslen(name);
    if (folder.length == 0 || folder.text[folder.length - 1] != L'\\' ||
        folder.length + nameLength >= MAX_PATH) {
        return false;
    }
    std::wmemcpy(out, folder.text, folder.length);
    std::wmemcpy(out + folder.length, name, nameLength + 1);
    return true;
}

// The path in the system's ANSI code page, the one the log-on program reads its options
// file in; false when a character has no exact form there, since a near one names another
// file.
bool ToAnsi(const Field& field, char* out, int room)
{
    out[0] = '\0';
    if (field.length == 0) {
        return true;
    }
    int wideLength = static_cast<int>(field.length);
    BOOL usedDefault = FALSE;
    bool utf8 = GetACP() == CP_UTF8;  // takes neither the flag nor the default-char report
    int length = WideCharToMultiByte(CP_ACP, utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS,
                                     field.text, wideLength, out, room - 1, nullptr,
                                     utf8 ? nullptr : &usedDefault);
    if (length <= 0 || usedDefault) {
        out[0] = '\0';
        return false;
    }
    out[length] = '\0';
    return true;
}

// Writes the text to a file beside the target and moves it over the target, so the target
// is old or wholly new.
bool ReplaceWhole(const wchar_t* target, const wchar_t* temporary, const char* text, size_t length)
{
    HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    bool whole = WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr) &&
                 written == length && FlushFileBuffers(file);
    CloseHandle(file);
    if (whole &&
        MoveFileExW(temporary, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileW(temporary);
    return false;
}

bool Absent()
{
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool RemoveIfPresent(const wchar_t* path)
{
    return DeleteFileW(path) || Absent();
}

bool MoveIfPresent(const wchar_t* from, const wchar_t* to)
{
    return MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) || Absent();
}

// The options file and its two companions in FOLDER; false when FOLDER is no folder path.
struct OptionsFiles {
    wchar_t target[MAX_PATH];
    wchar_t temporary[MAX_PATH];  // a new text before it replaces the target
    wchar_t kept[MAX_PATH];       // the target while an upgrade removes the older version
};

bool FindOptionsFiles(const Field& folder, OptionsFiles* files)
{
    return PathInFolder(folder, L"Quorvel.cfg", files->target) &&
           PathInFolder(folder, L"Quorvel.cfg.new", files->temporary) &&
           PathInFolder(folder, L"Quorvel.cfg.kept", files->kept);
}

// The two tasks, each with the copy of its XML kept beside the program.
struct TaskFiles {
    const wchar_t* name;  // the task's path in the Task Scheduler
    wchar_t copy[MAX_PATH];
    wchar_t kept[MAX_PATH];
};

struct AllTasks {
    TaskFiles machine{L"Quorvel\\Machine", {}, {}};
    TaskFiles user{L"Quorvel\\User", {}, {}};
};

bool FindTaskFiles(const Field& folder, AllTasks* tasks)
{
    return PathInFolder(folder, L"Quorvel-Machine.task.xml", tasks->machine.copy) &&
           PathInFolder(folder, L"Quorvel-Machine.task.kept", tasks->machine.kept) &&
           PathInFolder(folder, L"Quorvel-User.task.xml", tasks->user.copy) &&
           PathInFolder(folder, L"Quorvel-User.task.kept", tasks->user.kept);
}

// Runs the system's schtasks.exe with the arguments, hidden, and waits for it; true when it
// exits with 0.
bool RunSchtasks(const std::wstring& arguments)
{
    wchar_t system[MAX_PATH];
    UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    std::wstring command = L"\"" + std::wstring(system, length) + L"\\schtasks.exe\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &started)) {
        return false;
    }
    CloseHandle(started.hThread);
    DWORD status = 1;
    bool ended = WaitForSingleObject(started.hProcess, 5 * 60 * 1000) == WAIT_OBJECT_0 &&
                 GetExitCodeProcess(started.hProcess, &status);
    CloseHandle(started.hProcess);
    return ended && status == 0;
}

bool RegisterTask(const TaskFiles& task)
{
    return RunSchtasks(L"/Create /XML \"" + std::wstring(task.copy) + L"\" /TN \"" + task.name +
                       L"\" /F");
}

// Removes the task when this program registered it (its copy is there). Whether the Task
// Scheduler still had it is not asked: an administrator may have deleted it already.
void RemoveTask(const TaskFiles& task)
{
    if (GetFileAttributesW(task.copy) != INVALID_FILE_ATTRIBUTES) {
        RunSchtasks(L"/Delete /TN \"" + std::wstring(task.name) + L"\" /F");
    }
}

// Writes the task's XML (UTF-16 with its byte-order mark, as the Task Scheduler reads it) as
// its copy and registers it from there.
bool WriteAndRegisterTask(const TaskFiles& task, const wchar_t* temporary, const std::wstring& xml)
{
    std::wstring text = L"\xFEFF" + xml;
    return ReplaceWhole(task.copy, temporary, reinterpret_cast<const char*>(text.data()),
                        text.size() * sizeof(wchar_t)) &&
           RegisterTask(task);
}

// The properties of the write, checked before anything is done.
struct Properties {
    char settings[MAX_PATH * 4];
    char log[MAX_PATH * 4];
    std::wstring machineArguments;  // empty: no machine task
    unsigned machineHours = 0;
    unsigned userHours = 0;  // 0: no user task
};

// The machine pass's command tail, `/ini="MACHINESETTINGS" /log="LOG"`: the options file's
// lines on one line, so a path it takes is one the options file could carry.
bool ReadMachineArguments(const Field& settings, const Field& log, std::wstring* arguments)
{
    char settingsText[MAX_PATH * 4];
    char logText[MAX_PATH * 4];
    char text[2 * MAX_PATH * 4];
    size_t length = 0;
    if (!ToAnsi(settings, settingsText, sizeof settingsText) ||
        !ToAnsi(log, logText, sizeof logText) ||
        ComposeOptionsFileText(settingsText, logText, text, sizeof text, &length) !=
            OptionsTextFault::None) {
        return false;
    }
    *arguments = L"/ini=\"" + Text(settings) + L"\"";
    if (log.length != 0) {
        *arguments += L" /log=\"" + Text(log) + L"\"";
    }
    return true;
}

bool ReadProperties(const Field* fields, Properties* properties)
{
    char text[2 * MAX_PATH * 4];
    size_t length = 0;
    if (!ToAnsi(fields[2], properties->settings, sizeof properties->settings) ||
        !ToAnsi(fields[3], properties->log, sizeof properties->log) ||
        ComposeOptionsFileText(properties->settings, properties->log, text, sizeof text, &length) !=
            OptionsTextFault::None) {
        return false;
    }
    const Field& machineLog = fields[5].length != 0 ? fields[5] : fields[3];
    if (!ReadTaskHours(Text(fields[6]), 4, &properties->machineHours) ||
        !ReadTaskHours(Text(fields[7]), 0, &properties->userHours)) {
        return false;
    }
    return fields[4].length == 0 ||
           ReadMachineArguments(fields[4], machineLog, &properties->machineArguments);
}

int WriteOptions(const OptionsFiles& files, const char* settings, const char* log)
{
    char text[2 * MAX_PATH * 4];
    size_t length = 0;
    ComposeOptionsFileText(settings, log, text, sizeof text, &length);
    if (length == 0) {
        return 0;  // nothing given: an existing file stays as it is
    }
    return ReplaceWhole(files.target, files.temporary, text, length) ? 0 : kFileFailed;
}

int WriteAll(const Field* fields, const OptionsFiles& files, const AllTasks& tasks)
{
    Properties properties;
    if (!ReadProperties(fields, &properties)) {
        return kUnwritablePath;
    }
    std::wstring program = Text(fields[1]) + L"quorvel.exe";
    bool machine = !properties.machineArguments.empty();
    bool user = properties.userHours != 0;
    bool done = (!machine ||
                 WriteAndRegisterTask(tasks.machine, files.temporary,
                                      MachineTaskXml(program, properties.machineArguments,
                                                     properties.machineHours))) &&
                (!user || WriteAndRegisterTask(tasks.user, files.temporary,
                                               UserTaskXml(program, properties.userHours))) &&
                WriteOptions(files, properties.settings, properties.log) == 0;
    if (!done) {
        // The install fails and is rolled back: the tasks go with it.
        for (const TaskFiles* task : {&tasks.machine, &tasks.user}) {
            RemoveTask(*task);
            DeleteFileW(task->copy);
        }
        return kFileFailed;
    }
    return 0;
}

bool MoveAside(const OptionsFiles& files, const AllTasks& tasks)
{
    return MoveIfPresent(files.target, files.kept) &&
           MoveIfPresent(tasks.machine.copy, tasks.machine.kept) &&
           MoveIfPresent(tasks.user.copy, tasks.user.kept);
}

bool MoveBack(const OptionsFiles& files, const AllTasks& tasks)
{
    bool done = MoveIfPresent(files.kept, files.target);
    for (const TaskFiles* task : {&tasks.machine, &tasks.user}) {
        done = MoveIfPresent(task->kept, task->copy) && done;
    }
    return done;
}

int RemoveAll(const OptionsFiles& files, const AllTasks& tasks)
{
    bool removed = RemoveIfPresent(files.temporary);
    for (const TaskFiles* task : {&tasks.machine, &tasks.user}) {
        RemoveTask(*task);
        removed = RemoveIfPresent(task->copy) && removed;
    }
    return RemoveIfPresent(files.target) && removed ? 0 : kFileFailed;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    const wchar_t* line = GetCommandLineW();
    Field fields[8];
    OptionsFiles files;
    AllTasks tasks;
    bool write = SplitFields(line, fields, 8) && Equals(fields[0], L"write");
    if (!write && !SplitFields(line, fields, 2)) {
        return kMalformed;
    }
    if (!FindOptionsFiles(fields[1], &files) || !FindTaskFiles(fields[1], &tasks)) {
        return kMalformed;
    }
    if (write) {
        return WriteAll(fields, files, tasks);
    }
    if (Equals(fields[0], L"keep")) {
        return MoveAside(files, tasks) ? 0 : kFileFailed;
    }
    if (Equals(fields[0], L"restore")) {
        return MoveBack(files, tasks) ? 0 : kFileFailed;
    }
    return Equals(fields[0], L"remove") ? RemoveAll(files, tasks) : kMalformed;
}
