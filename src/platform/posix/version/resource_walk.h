// The walk through a PE file's resource directory to its version resource.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/posix/files/bounded_file.h"
#include "platform/posix/version/pe_layout.h"

namespace posix::version {

struct ResourceData {
    uint32_t rva = 0;
    uint32_t size = 0;
};

constexpr uint32_t kVersionType = 16;   // RT_VERSION
constexpr uint32_t kManifestType = 24;  // RT_MANIFEST; a program's own manifest is name 1

// Follows type `typeId`, then name `nameId` or else the first name, then the first language,
// to the resource's data entry. Nothing when any step is missing, out of bounds, of the
// wrong kind (a directory where data belongs or the reverse), or revisits a directory.
std::optional<ResourceData> FindResourceData(const posix::files::BoundedFile& file,
                                             const PeLayout& layout, uint32_t typeId,
                                             uint32_t nameId);

// The version resource: type 16, name 1 or else the first.
std::optional<ResourceData> FindVersionResource(const posix::files::BoundedFile& file,
                                                const PeLayout& layout);

}  // namespace posix::version
