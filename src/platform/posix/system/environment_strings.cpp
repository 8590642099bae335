// "%NAME%" expansion over the process environment.
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/win32.h"
#include "text/percent_names.h"

DWORD WINAPI ExpandEnvironmentStringsA(LPCSTR source, LPSTR out, DWORD size)
{
    if (source == nullptr) {
        return 0;
    }
    std::string expanded = ExpandPercentNames(source, [](const std::string& name,
                                                         std::string* value) {
        // getenv would take "A=B" as the name "A" followed by part of a value.
        const char* found = name.empty() || name.find('=') != std::string::npos
                                ? nullptr
                                : std::getenv(name.c_str());
        if (found != nullptr) {
            *value = found;
        }
        return found != nullptr;
    });
    // The result can hold no more than a DWORD counts; beyond that it is refused as too long.
    if (expanded.size() >= 0xFFFFFFFFu) {
        return 0;
    }
    DWORD needed = static_cast<DWORD>(expanded.size() + 1);
    if (out != nullptr && needed <= size) {
        std::memcpy(out, expanded.c_str(), needed);
    }
    return needed;
}
