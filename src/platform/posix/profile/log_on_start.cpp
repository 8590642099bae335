#include "platform/posix/profile/log_on_start.h"

#include <cstdlib>

#include "platform/posix/files/regular_file.h"
#include "platform/posix/profile/atomic_replace.h"
#include "platform/posix/profile/own_folders.h"
#include "platform/posix/profile/win_ini_location.h"
#include "text/run_line_entries.h"
#include "text/utf8_text.h"

namespace posix::profile {

namespace {

// The four characters that must be escaped with a backslash inside a quoted Exec argument.
bool NeedsBackslashInQuotes(char c)
{
    return c == '"' || c == '`' || c == '$' || c == '\\';
}

// The string escapes every key value goes through when the file is read; they apply before
// the Exec quoting is undone, so a backslash of the quoting is itself written doubled.
std::string EscapedValue(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            out += c;
        }
    }
    return out;
}

bool HoldsUnwritableControl(std::string_view text)
{
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string AutostartFolder()
{
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/') {
        return std::string(configHome) + "/autostart";
    }
    std::string home = UserHome();
    return home.empty() ? "" : home + ".config/autostart";
}

std::string QuotedExecArgument(std::string_view argument)
{
    if (HoldsUnwritableControl(argument)) {
        return "";
    }
    // Always quoted: one rule for every path, and a blank or a reserved character needs it.
    std::string quoted = "\"";
    for (char c : argument) {
        if (NeedsBackslashInQuotes(c)) {
            quoted += '\\';
        }
        quoted += c;
        if (c == '%') {
            quoted += '%';  // a lone '%' would start a field code
        }
    }
    quoted += '"';
    return EscapedValue(quoted);
}

std::string AutostartEntryText(std::string_view program)
{
    std::string exec = QuotedExecArgument(program);
    size_t slash = program.rfind('/');
    if (exec.empty() || slash == std::string_view::npos) {
        return "";
    }
    // clang-format off
    return "[Desktop Entry]\n"
           "# Written when the program registered itself in the run line of ~/.config/win.ini.\n"
           "Type=Application\n"
           "Name=" + EscapedValue(program.substr(slash + 1)) + "\n"
           "Exec=" + exec + "\n"
           "NoDisplay=true\n"
           "Terminal=false\n";
    // clang-format on
}

std::string WhyAutostartCannotCarry(std::string_view program)
{
    if (program.empty() || program.front() != '/') {
        return "it is not an absolute path";
    }
    if (!IsValidUtf8(program)) {
        return "it holds bytes that are not UTF-8, which an entry must be";
    }
    for (char c : program) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return "it holds a control character";
        }
        if (std::string_view(" ,%\"'\\$`").find(c) != std::string_view::npos) {
            return std::string("it holds the character '") + c + "'";
        }
    }
    return "";
}

bool StartProgramAtLogOn(std::string_view runLine, const std::string& program)
{
    bool onLine = false;
    for (const RunLineEntry& entry : RunLineEntries(runLine)) {
        onLine = onLine || entry.text == program;
    }
    if (!onLine) {
        return true;  // the line does not start this program: no entry is needed
    }
    std::string text = AutostartEntryText(program);
    if (!WhyAutostartCannotCarry(program).empty() || text.empty() ||
        !posix::files::IsRegularFile(program)) {
        return false;
    }
    // The entry goes only into folders of this user's own, reached through no link.
    std::string home = WritableHome();
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    std::string base = configHome != nullptr && configHome[0] == '/' ? configHome
                       : home.empty()                                ? ""
                                                                     : home + ".config";
    std::string folder = base + "/autostart";
    if (home.empty() || !PrepareOwnFolder(base) || !PrepareOwnFolder(folder)) {
        return false;
    }
    std::string file = folder + "/" + program.substr(program.rfind('/') + 1) + ".desktop";
    return ReplaceFileAtomically(file, text, Link::Replace);
}

}  // namespace posix::profile
