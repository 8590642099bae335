// Registration in the run line of the user's WIN.INI.
#include "run/run_line.h"

#include <string>
#include <vector>

#include "run/run_line_edit.h"

namespace {

// The run value is read whole, however long: the buffer grows while the value fills it, so a
// long run line is never written back without its tail. Past this size nothing is written.
constexpr size_t kFirstReadRoom = MAX_PATH;
constexpr size_t kLargestReadRoom = size_t{64} * 1024 * 1024;

}  // namespace

bool ReadRunValue(std::string& value)
{
    std::vector<char> buffer(kFirstReadRoom);
    for (;;) {
        DWORD length = GetProfileStringA("windows", "run", "", buffer.data(),
                                         static_cast<DWORD>(buffer.size()));
        if (static_cast<size_t>(length) + 1 < buffer.size()) {
            value.assign(buffer.data(), length);
            return true;
        }
        if (buffer.size() >= kLargestReadRoom) {
            return false;
        }
        buffer.assign(buffer.size() * 2, '\0');
    }
}

void AddToRunLine(LPCSTR path)
{
    // Without a path there is nothing to register, and an empty entry would only grow the
    // line by one blank on every run.
    if (path == nullptr || *path == '\0') {
        return;
    }
    // Two readings that differ (a failed read gives the value as empty, or WIN.INI changed in
    // between) write nothing: composing on a failed read would write the path alone over
    // every other entry.
    std::string firstReading;
    std::string secondReading;
    if (!ReadRunValue(firstReading) || !ReadRunValue(secondReading) ||
        secondReading != firstReading) {
        return;
    }
    WriteProfileStringA("windows", "run",
                        ComposeRunLine(firstReading, path, kPathSeparator).c_str());
}
