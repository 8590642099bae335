// The walk through a PE file's resource directory to its version resource.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/posix/files/bounded_file.h"
#include "platform/posix/version/pe_layout.h"

namespace pe_version {

struct ResourceData {
    uint32_t rva = 0;
    uint32_t size = 0;
};

// Follows type 16 (version), then name 1 or else the first name, then the first language,
// to the resource's data entry. Nothing when any step is missing, out of bounds, of the
// wrong kind (a directory where data belongs or the reverse), or revisits a directory.
std::optional<ResourceData> FindVersionResource(const BoundedFile& file, const PeLayout& layout);

}  // namespace pe_version
