// The XDG autostart entries that start the log-on program, as a desktop session reads them:
// the user's folder first, then each system folder of XDG_CONFIG_DIRS; the first entry of a
// name wins, and one with Hidden=true starts nothing and hides those after it.
#include <cstdlib>
#include <string>
#include <vector>

#include "check/check_platform.h"
#include "platform/posix/files/capped_read.h"
#include "platform/posix/files/regular_file.h"
#include "platform/posix/profile/log_on_start.h"
#include "text/profile_text.h"

namespace {

constexpr size_t kEntryCap = size_t{64} * 1024;  // an autostart entry is a few lines

struct DesktopEntry {
    bool hidden = false;
    std::string program;  // Exec's first argument, unquoted
};

// A key's value with the desktop entry string escapes undone.
std::string Unescaped(std::string_view value)
{
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        char next = value[++i];
        out += next == 's'   ? ' '
               : next == 't' ? '\t'
               : next == 'n' ? '\n'
               : next == 'r' ? '\r'
                             : next;
    }
    return out;
}

// The program of an Exec value: a quoted first argument with its backslash escapes, or the
// text up to the first blank; "%%" stands for '%'.
std::string ExecProgram(const std::string& exec)
{
    std::string program;
    size_t i = exec.find_first_not_of(' ');
    bool quoted = i != std::string::npos && exec[i] == '"';
    for (i += quoted ? 1 : 0; i < exec.size(); ++i) {
        char c = exec[i];
        if (quoted ? c == '"' : c == ' ') {
            break;
        }
        if (quoted && c == '\\' && i + 1 < exec.size()) {
            c = exec[++i];
        } else if (c == '%' && i + 1 < exec.size() && exec[i + 1] == '%') {
            ++i;
        }
        program += c;
    }
    return program;
}

bool ReadEntry(const std::string& path, DesktopEntry* entry)
{
    std::string bytes;
    posix::files::ReadOutcome read = posix::files::ReadFileCapped(path.c_str(), kEntryCap, bytes);
    if (read == posix::files::ReadOutcome::Missing || read == posix::files::ReadOutcome::Failed) {
        return false;
    }
    bool inMainGroup = false;
    profile_text::LineSpan span;
    for (size_t at = 0; profile_text::NextLine(bytes, at, span); at = span.next) {
        std::string_view line = std::string_view(bytes).substr(span.begin, span.end - span.begin);
        if (!line.empty() && line[0] == '[') {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        size_t equals = line.find('=');
        if (!inMainGroup || equals == std::string_view::npos) {
            continue;
        }
        std::string_view key = profile_text::TrimBlanks(line.substr(0, equals));
        std::string value = Unescaped(profile_text::TrimBlanks(line.substr(equals + 1)));
        if (key == "Hidden") {
            entry->hidden = value == "true";
        } else if (key == "Exec") {
            entry->program = ExecProgram(value);
        }
    }
    return true;
}

// The autostart folders in the order a session reads them.
std::vector<std::string> AutostartFolders()
{
    std::vector<std::string> folders;
    std::string user = posix::profile::AutostartFolder();
    if (!user.empty()) {
        folders.push_back(user);
    }
    const char* configDirs = std::getenv("XDG_CONFIG_DIRS");
    std::string dirs = configDirs != nullptr && configDirs[0] != '\0' ? configDirs : "/etc/xdg";
    for (size_t at = 0; at <= dirs.size();) {
        size_t end = dirs.find(':', at);
        end = end == std::string::npos ? dirs.size() : end;
        std::string dir = dirs.substr(at, end - at);
        at = end + 1;
        if (!dir.empty() && dir[0] == '/') {  // relative entries are ignored
            folders.push_back(dir + "/autostart");
        }
    }
    return folders;
}

}  // namespace

std::vector<LogonStart> LogonStartsBesideRunLine()
{
    std::vector<LogonStart> starts;
    std::string decided;  // the entry that takes the place of those after it
    for (const std::string& folder : AutostartFolders()) {
        LogonStart start;
        start.label = "autostart";
        start.where = folder + "/" + LogonProgramFileName() + ".desktop";
        DesktopEntry entry;
        if (!posix::files::IsRegularFile(start.where) || !ReadEntry(start.where, &entry)) {
            start.state = "absent";
        } else if (!decided.empty()) {
            start.state = "present, but " + decided + " takes its place";
        } else if (entry.hidden) {
            start.state = "hidden (Hidden=true): it starts nothing, nor does an entry of this "
                          "name in the folders after it";
        } else if (entry.program.empty()) {
            start.state = "present, with no program to start";
            start.problem = "it has no Exec line: it starts nothing";
        } else if (!posix::profile::WhyAutostartCannotCarry(entry.program).empty()) {
            start.state = "names " + entry.program;
            start.problem = "its program's path cannot stand in an entry exactly (" +
                            posix::profile::WhyAutostartCannotCarry(entry.program) +
                            "): a session may refuse the entry, and it still takes the place of "
                            "the entries of its name after it: remove it";
        } else {
            start.state = "starts " + entry.program;
            start.starts = posix::files::IsRegularFile(entry.program);
            if (!start.starts) {
                start.problem = "it starts " + entry.program + ", which does not exist";
            }
        }
        if (start.state != "absent" && decided.empty()) {
            decided = start.where;
        }
        starts.push_back(start);
    }
    return starts;
}

std::string WhyNoLogOnEntry(const std::string& program)
{
    return posix::profile::WhyAutostartCannotCarry(program);
}

bool RunLineStartsAtLogOn()
{
    return false;  // a desktop session reads autostart entries, not the run line
}

const char* StartWithoutRunLine()
{
    return "install it in a folder whose path has neither, or place an autostart entry for "
           "it in /etc/xdg/autostart";
}
