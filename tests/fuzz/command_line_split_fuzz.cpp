// The Windows command-line splitter used for setup programs: any arguments it gives back,
// quoted by the Windows rules and joined with blanks, split back into the same arguments.
#include <string>
#include <vector>

#include "fuzz_scratch.h"
#include "text/windows_command_line.h"

namespace {

// Quotes one argument so the Windows rules give it back unchanged: backslashes are doubled
// where a quote follows them, and a quote inside is escaped.
std::string Quoted(const std::string& argument)
{
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        out += c;
        backslashes = 0;
    }
    out.append(2 * backslashes, '\\');
    return out + "\"";
}

bool HasBlank(const std::string& text)
{
    return text.find_first_of(" \t") != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string raw(reinterpret_cast<const char*>(data), size);
    const std::string commandLine(raw.c_str());  // the command line is a C string
    const std::vector<std::string> arguments = SplitWindowsCommandLine(commandLine);

    std::string joined;
    for (const std::string& argument : arguments) {
        // Without quotes in the line, no argument can hold a blank.
        FUZZ_CHECK(commandLine.find('"') != std::string::npos || !HasBlank(argument));
        FUZZ_CHECK(argument.size() <= commandLine.size());
        joined += (joined.empty() ? "" : " ") + Quoted(argument);
    }
    FUZZ_CHECK(SplitWindowsCommandLine(joined) == arguments);
    // A line of blanks and tabs only, or an empty one, gives no argument.
    FUZZ_CHECK(!arguments.empty() || commandLine.find_first_not_of(" \t") == std::string::npos);
    return 0;
}
