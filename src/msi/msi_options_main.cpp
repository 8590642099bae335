// The MSI's actions on the options file: a program the installer runs from its own tables (it
// is never installed), with a command line that ends in
//   |write|FOLDER|SETTINGS|LOG   writes FOLDER\Quorvel.cfg from the two paths (either may be
//                                empty), replacing the file whole, or leaves it as it was
//   |keep|FOLDER                 moves Quorvel.cfg aside while an upgrade removes the older
//   |restore|FOLDER              version, and back once it is gone
//   |remove|FOLDER               removes Quorvel.cfg; one moved aside stays, since the older
//                                version's uninstall may run between the two moves
// FOLDER ends in a backslash. A '|' cannot stand in a Windows path, so the fields are
// unambiguous. Silent, like the log-on program: the exit status is the only report, and the
// installer's log records it (0 done, 1 a malformed command line, 2 a path that the options
// file cannot carry, 3 a file that could not be written, moved or removed).
#include <windows.h>

#include <cstddef>
#include <cwchar>

#include "msi/options_file_text.h"

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
bool ReplaceWhole(const wchar_t* target, const wchar_t* temporary, const char* text,
                 size_t length)
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
    if (whole && MoveFileExW(temporary, target,
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
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

int WriteOptions(const OptionsFiles& files, const Field& settings, const Field& log)
{
    char settingsText[MAX_PATH * 4];
    char logText[MAX_PATH * 4];
    if (!ToAnsi(settings, settingsText, sizeof settingsText) ||
        !ToAnsi(log, logText, sizeof logText)) {
        return kUnwritablePath;
    }
    char text[2 * MAX_PATH * 4];
    size_t length = 0;
    if (ComposeOptionsFileText(settingsText, logText, text, sizeof text, &length) !=
        OptionsTextFault::None) {
        return kUnwritablePath;
    }
    if (length == 0) {
        return 0;  // nothing given: an existing file stays as it is
    }
    return ReplaceWhole(files.target, files.temporary, text, length) ? 0 : kFileFailed;
}

int RemoveOptions(const OptionsFiles& files)
{
    bool removed = RemoveIfPresent(files.temporary);
    return RemoveIfPresent(files.target) && removed ? 0 : kFileFailed;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    const wchar_t* line = GetCommandLineW();
    Field fields[4];
    OptionsFiles files;
    bool write = SplitFields(line, fields, 4) && Equals(fields[0], L"write");
    if (!write && !SplitFields(line, fields, 2)) {
        return kMalformed;
    }
    if (!FindOptionsFiles(fields[1], &files)) {
        return kMalformed;
    }
    if (write) {
        return WriteOptions(files, fields[2], fields[3]);
    }
    if (Equals(fields[0], L"keep")) {
        return MoveIfPresent(files.target, files.kept) ? 0 : kFileFailed;
    }
    if (Equals(fields[0], L"restore")) {
        return MoveIfPresent(files.kept, files.target) ? 0 : kFileFailed;
    }
    return Equals(fields[0], L"remove") ? RemoveOptions(files) : kMalformed;
}
