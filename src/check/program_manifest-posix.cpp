// A program's application manifest, read through the same bounded PE reader as the version
// resource: only the headers, the resource directory's path to it and its own bytes.
#include <optional>

#include "check/check_platform.h"
#include "platform/posix/files/bounded_file.h"
#include "platform/posix/version/pe_layout.h"
#include "platform/posix/version/resource_walk.h"

ProgramManifest ReadProgramManifest(const std::string& path)
{
    using namespace posix::version;
    ProgramManifest manifest;
    posix::files::BoundedFile file;
    std::optional<bool> pe32Plus;
    std::optional<PeLayout> layout = file.Open(path.c_str()) ? ReadPeLayout(file, &pe32Plus)
                                                             : std::nullopt;
    if (!pe32Plus) {
        return manifest;  // no PE image
    }
    manifest.state = ManifestState::None;
    manifest.is32Bit = !*pe32Plus;
    std::optional<ResourceData> resource = layout
                                               ? FindResourceData(file, *layout, kManifestType, 1)
                                               : std::nullopt;
    if (!resource) {
        return manifest;
    }
    if (resource->size > kManifestCap) {
        manifest.state = ManifestState::TooLarge;
        return manifest;
    }
    std::optional<uint64_t> at = layout->FileOffsetOf(resource->rva, resource->size);
    std::string bytes(resource->size, '\0');
    if (at && file.ReadAt(*at, bytes.size(), &bytes[0])) {
        manifest.state = ManifestState::Read;
        manifest.text = bytes;
    }
    return manifest;
}
