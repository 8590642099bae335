// The profile calls the program makes, over any file: Count and Delay as numbers, the four
// keys of the first entries as strings into the program's 260-byte room. Every string is
// terminated inside its room and is the start of the whole value (the cut holds); a number
// is the whole value read as one; every key of the first section of each name is found with
// the value its line holds. The list of section names, cut to any room, is the start of the
// whole list and ends in two NULs; the pass's bound never goes past Count.
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "fuzz_scratch.h"
#include "platform/posix/profile/profile_lookup.h"
#include "platform/win32.h"
#include "run/entry_bound.h"
#include "text/profile_text.h"

namespace {

constexpr DWORD kProgramRoom = MAX_PATH;
constexpr size_t kKeysChecked = 16;
const char kAbsent[] = "<absent>";

// The value into a room of `room` bytes, checked to be terminated inside it.
std::string ReadString(const std::string& path, const std::string& section, const std::string& key,
                       const char* defaultValue, DWORD room)
{
    std::vector<char> out(room, '\x55');
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue,
                                                  out.data(), room, path.c_str());
    FUZZ_CHECK(length < room);
    FUZZ_CHECK(out[length] == '\0' && std::strlen(out.data()) == length);
    return std::string(out.data(), length);
}

void CheckKey(const std::string& path, const std::string& section, const std::string& key,
              DWORD wholeRoom)
{
    const std::string whole = ReadString(path, section, key, "", wholeRoom);
    FUZZ_CHECK(whole.size() + 1 < wholeRoom);
    for (DWORD room : {kProgramRoom, DWORD{8}, DWORD{1}}) {
        const std::string cut = ReadString(path, section, key, "", room);
        FUZZ_CHECK(cut == whole.substr(0, std::min<size_t>(whole.size(), room - 1)));
    }
    const UINT number = GetPrivateProfileIntA(section.c_str(), key.c_str(), 7, path.c_str());
    FUZZ_CHECK(number == (whole.empty() ? 7u : posix::profile::ParseProfileUnsigned(whole)));
}

// The value each key of the first section of each name must read as: its first line there.
std::map<std::pair<std::string, std::string>, std::string> FirstValues(const std::string& text)
{
    auto lower = [](std::string_view name) {
        std::string out(name);
        std::transform(out.begin(), out.end(), out.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
        return out;
    };
    std::map<std::pair<std::string, std::string>, std::string> values;
    std::map<std::string, int> sectionsSeen{{"", 1}};
    std::string section;
    bool firstOfName = true;
    profile_text::LineSpan span;
    for (size_t at = 0; profile_text::NextLine(text, at, span); at = span.next) {
        profile_text::ProfileLine line = profile_text::ClassifyLine(
            std::string_view(text).substr(span.begin, span.end - span.begin));
        if (line.kind == profile_text::LineKind::Header) {
            section = lower(line.name);
            firstOfName = ++sectionsSeen[section] == 1;
        } else if (line.kind == profile_text::LineKind::Entry && firstOfName) {
            values.emplace(std::make_pair(section, lower(line.name)),
                           profile_text::EntryValue(line.value));
        }
    }
    return values;
}

// The section-name list into a room of `room` bytes: terminated by two NULs inside it, and
// the first bytes of `whole` when `whole` is given.
std::string ReadNames(const std::string& path, DWORD room, const std::string* whole)
{
    std::vector<char> out(room, '\x55');
    const DWORD length = GetPrivateProfileSectionNamesA(out.data(), room, path.c_str());
    FUZZ_CHECK(room < 2 || (length + 1 < room && out[length] == '\0' && out[length + 1] == '\0'));
    if (whole != nullptr) {
        FUZZ_CHECK(length <= whole->size() && std::memcmp(out.data(), whole->data(), length) == 0);
    }
    return std::string(out.data(), room < 2 ? 0 : length);
}

void CheckSectionNames(const std::string& path, DWORD wholeRoom)
{
    const std::string whole = ReadNames(path, wholeRoom, nullptr);
    for (DWORD room : {DWORD{2}, DWORD{9}, DWORD{64}}) {
        ReadNames(path, room, &whole);
    }
    for (UINT count : {0u, 3u, 0xFFFFFFFFu}) {
        FUZZ_CHECK(LastEntryToExamine(count, path.c_str()) <= count);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = fuzzing::WriteScratchFile("Quorvel.ini", data, size);
    // Decoding UTF-16 at most doubles the bytes; this room holds any value whole.
    const DWORD wholeRoom = static_cast<DWORD>(2 * size + 16);

    CheckKey(path, "Quorvel", "Count", wholeRoom);
    CheckKey(path, "Quorvel", "Delay", wholeRoom);
    for (const char* section : {"App1", "App2"}) {
        for (const char* key : {"Name", "Source", "Destination", "SetupApp"}) {
            CheckKey(path, section, key, wholeRoom);
        }
    }

    CheckSectionNames(path, wholeRoom + 2);

    // The first keys are enough: each further one would only cost another read of the file.
    const std::string text = profile_text::DecodeProfileBytes(fuzzing::ReadWholeFile(path));
    size_t checked = 0;
    for (const auto& [names, value] : FirstValues(text)) {
        if (++checked > kKeysChecked) {
            break;
        }
        const auto& [section, key] = names;
        if (section.find('\0') != std::string::npos || key.find('\0') != std::string::npos) {
            continue;  // a name the calls cannot be given
        }
        const std::string read = ReadString(path, section, key, kAbsent, wholeRoom);
        FUZZ_CHECK(read == std::string(value.c_str()));
    }
    return 0;
}
