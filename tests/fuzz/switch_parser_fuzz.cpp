// The switch parser over any line: only the first 1023 bytes are seen, so the line cut there
// parses to the same items; every name and value is a piece of that text.
#include <algorithm>
#include <cstring>
#include <string>

#include "cmdline/command_line.h"
#include "fuzz_scratch.h"

namespace {

constexpr size_t kSeenBytes = 1023;

std::string Upper(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string line(reinterpret_cast<const char*>(data), size);
    const char* text = line.c_str();  // the line ends at its first NUL, as a C string does
    const std::string seen(text, std::min(std::strlen(text), kSeenBytes));

    CommandLine whole(text);
    CommandLine cut(seen.c_str());
    FUZZ_CHECK(whole.count == cut.count);
    FUZZ_CHECK(whole.parsed == (text[0] != '\0'));

    int items = 0;
    const CmdParameter* a = whole.first;
    const CmdParameter* b = cut.first;
    for (; a != nullptr && b != nullptr; a = a->link, b = b->link, ++items) {
        FUZZ_CHECK(*a == *b);
        FUZZ_CHECK(a->isSwitch == (a->name != nullptr));
        FUZZ_CHECK(a->name == nullptr || seen.find(a->name) != std::string::npos);
        FUZZ_CHECK(a->value == nullptr || seen.find(a->value) != std::string::npos);
        FUZZ_CHECK((a->value == nullptr) == (a->upperValue == nullptr));
        FUZZ_CHECK(a->value == nullptr || Upper(a->value) == a->upperValue);
    }
    FUZZ_CHECK(a == nullptr && b == nullptr);
    FUZZ_CHECK(items == whole.count);
    FUZZ_CHECK(whole.current == whole.first);
    return 0;
}
