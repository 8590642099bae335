// Reads a file's version quadruple through the three platform calls, the way the decision
// does: a block of exactly the reported size, filled, then the root query.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "support/pe_fixture.h"

inline std::optional<testing_support::VersionQuad> QueryVersionQuad(const std::string& path)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0) {
        return std::nullopt;
    }
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) {
        return std::nullopt;
    }
    LPVOID value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO)) {
        return std::nullopt;
    }
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
    return testing_support::VersionQuad{info->dwFileVersionMS, info->dwFileVersionLS,
                                        info->dwProductVersionMS, info->dwProductVersionLS};
}

namespace testing_support {

inline bool operator==(const VersionQuad& a, const VersionQuad& b)
{
    return a.fileMS == b.fileMS && a.fileLS == b.fileLS && a.productMS == b.productMS &&
           a.productLS == b.productLS;
}

inline void PrintTo(const VersionQuad& quad, std::ostream* out)
{
    *out << std::hex << "{" << quad.fileMS << ", " << quad.fileLS << ", " << quad.productMS << ", "
         << quad.productLS << "}" << std::dec;
}

}  // namespace testing_support
