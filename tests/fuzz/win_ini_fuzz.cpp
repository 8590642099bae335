// Registration in the run line over any existing WIN.INI and any program path (the input's
// first line is the path, the rest the file). Afterwards the run value reads back exactly as
// the run-line edit composed it, every other key of the file reads as before, and no
// temporary file is left. When the file may not be able to hold the value faithfully (a
// line break in the value; a UTF-16 file, which cannot hold every byte) it may be left byte for
// byte instead.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "fuzz_scratch.h"
#include "platform/posix/profile/parsed_profile.h"
#include "platform/posix/profile/profile_lookup.h"
#include "run/run_line.h"
#include "run/run_line_edit.h"
#include "text/ascii_case.h"
#include "text/profile_text.h"

namespace {

// Registration writes nothing as root, so as root the target runs as "nobody", as a user's
// /install does, in a scratch folder given to that user.
void RunAsOrdinaryUser()
{
    static const bool switched = [] {
        const passwd* nobody = getpwnam("nobody");
        if (geteuid() != 0 || nobody == nullptr) {
            return false;
        }
        FUZZ_CHECK(chown(fuzzing::ScratchDir().c_str(), nobody->pw_uid, nobody->pw_gid) == 0);
        FUZZ_CHECK(seteuid(nobody->pw_uid) == 0);
        // The leak check at exit inspects the process from a thread of its own, which a user
        // of other ids may not: root comes back first.
        std::atexit([] {
            if (seteuid(0) != 0) {
                std::_Exit(1);
            }
        });
        return true;
    }();
    (void)switched;
}

std::string RunValue(size_t room)
{
    std::vector<char> out(room);
    DWORD length = GetProfileStringA("windows", "run", "", out.data(), static_cast<DWORD>(room));
    return std::string(out.data(), length);
}

// Every (section, key) named in the text, as the reader names them.
std::set<std::pair<std::string, std::string>> NamedKeys(const std::string& text)
{
    std::set<std::pair<std::string, std::string>> keys;
    std::string section;
    profile_text::LineSpan span;
    for (size_t at = 0; profile_text::NextLine(text, at, span); at = span.next) {
        profile_text::ProfileLine line = profile_text::ClassifyLine(
            std::string_view(text).substr(span.begin, span.end - span.begin));
        if (line.kind == profile_text::LineKind::Header) {
            section = std::string(line.name);
        } else if (line.kind == profile_text::LineKind::Entry) {
            keys.emplace(section, std::string(line.name));
        }
    }
    return keys;
}

bool IsRunKey(const std::pair<std::string, std::string>& key)
{
    return EqualIgnoringAsciiCase(key.first, "windows") &&
           EqualIgnoringAsciiCase(key.second, "run");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t lineEnd = input.find('\n');
    const std::string path = input.substr(0, lineEnd).c_str();
    const std::string before = lineEnd == std::string::npos ? "" : input.substr(lineEnd + 1);

    RunAsOrdinaryUser();
    const std::string folder = fuzzing::ScratchDir() + "/.config";
    mkdir(folder.c_str(), 0700);
    const std::string winIni = fuzzing::WriteScratchFile(".config/win.ini", before);
    const size_t room = 2 * before.size() + path.size() + 16;
    const std::string composed = ComposeRunLine(RunValue(room), path, '/');

    AddToRunLine(path.c_str());

    const std::string after = fuzzing::ReadWholeFile(winIni);
    // Registration may also leave a log-on entry for the program in the autostart folder.
    const std::string names = fuzzing::ListFolder(folder);
    FUZZ_CHECK(names == "win.ini " || names == "autostart win.ini ");
    fuzzing::RemoveAll(folder + "/autostart");
    const bool mayBeLeft = path.empty() || profile_text::HasUtf16Mark(before) ||
                           composed.find_first_of("\r\n") != std::string::npos;
    if (after == before && mayBeLeft) {
        return 0;
    }
    FUZZ_CHECK(!path.empty() && composed.find_first_of("\r\n") == std::string::npos);
    FUZZ_CHECK(RunValue(room) == composed);
    const std::string oldText = profile_text::DecodeProfileBytes(before);
    const std::string newText = profile_text::DecodeProfileBytes(after);
    const posix::profile::ParsedProfile oldProfile(oldText);
    const posix::profile::ParsedProfile newProfile(newText);
    std::set<std::pair<std::string, std::string>> keys = NamedKeys(oldText);
    for (const auto& key : NamedKeys(newText)) {
        keys.insert(key);
    }
    for (const auto& key : keys) {
        if (!IsRunKey(key)) {
            FUZZ_CHECK(oldProfile.Value(key.first, key.second) ==
                       newProfile.Value(key.first, key.second));
        }
    }
    return 0;
}
