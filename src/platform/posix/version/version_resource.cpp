#include "platform/posix/version/version_resource.h"

#include <optional>

#include "platform/posix/files/bounded_file.h"
#include "platform/posix/version/le_bytes.h"
#include "platform/posix/version/pe_layout.h"
#include "platform/posix/version/resource_walk.h"
#include "platform/posix/version/version_block.h"

namespace posix::version {

namespace {

std::vector<uint8_t> ReadVersionBlock(const posix::files::BoundedFile& file)
{
    std::optional<PeLayout> layout = ReadPeLayout(file);
    if (!layout) {
        return {};
    }
    std::optional<ResourceData> resource = FindVersionResource(file, *layout);
    if (!resource || resource->size < kRootHeaderSize) {
        return {};
    }
    // The block's own 16-bit length says how much to read; it must fit the resource.
    std::optional<uint64_t> lengthAt = layout->FileOffsetOf(resource->rva, 2);
    uint8_t lengthField[2];
    if (!lengthAt || !file.ReadAt(*lengthAt, sizeof lengthField, lengthField)) {
        return {};
    }
    const uint16_t blockLength = ReadLe16(lengthField);
    if (blockLength < kRootHeaderSize || blockLength > resource->size) {
        return {};
    }
    std::optional<uint64_t> blockAt = layout->FileOffsetOf(resource->rva, blockLength);
    std::vector<uint8_t> block(blockLength);
    if (!blockAt || !file.ReadAt(*blockAt, block.size(), block.data())) {
        return {};
    }
    std::optional<RootValue> root = FindRootValue(block.data(), block.size());
    if (!root || root->length < kFixedFileInfoSize) {
        return {};
    }
    return block;
}

}  // namespace

std::vector<uint8_t> LoadVersionBlock(const char* path, posix::files::FileIdentity* identity,
                                      timespec* readAt)
{
    if (readAt != nullptr) {
        *readAt = posix::files::ReadMoment();
    }
    posix::files::BoundedFile file;
    if (!file.Open(path)) {
        return {};
    }
    if (identity != nullptr) {
        *identity = file.identity();
    }
    return ReadVersionBlock(file);
}

std::vector<uint8_t> LoadVersionBlockFrom(int descriptor, const struct stat& status)
{
    posix::files::BoundedFile file;
    if (!file.Adopt(descriptor, status)) {
        return {};
    }
    return ReadVersionBlock(file);
}

}  // namespace posix::version
