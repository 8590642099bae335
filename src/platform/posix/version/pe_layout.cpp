#include "platform/posix/version/pe_layout.h"

#include <algorithm>

#include "platform/posix/version/le_bytes.h"

namespace posix::version {

namespace {

constexpr size_t kDosHeaderSize = 64;
constexpr size_t kPeHeaderOffsetField = 0x3C;
constexpr size_t kSignatureAndFileHeaderSize = 4 + 20;
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint32_t kResourceDirectoryIndex = 2;
constexpr size_t kDataDirectorySize = 8;
constexpr size_t kSectionHeaderSize = 40;
// The Windows loader refuses images with more sections than this; it also bounds the read.
constexpr uint16_t kMaxSections = 96;

struct OptionalHeaderShape {
    size_t directoryCountField;
    size_t firstDirectory;
};

std::optional<OptionalHeaderShape> ShapeOf(uint16_t magic)
{
    if (magic == kPe32Magic) {
        return OptionalHeaderShape{92, 96};
    }
    if (magic == kPe32PlusMagic) {
        return OptionalHeaderShape{108, 112};
    }
    return std::nullopt;
}

PeSection ParseSection(const uint8_t* header)
{
    PeSection section;
    uint32_t virtualSize = ReadLe32(header + 8);
    section.virtualAddress = ReadLe32(header + 12);
    uint32_t rawSize = ReadLe32(header + 16);
    section.rawOffset = ReadLe32(header + 20);
    // Bytes past the virtual size are not part of the image; a virtual size of 0 is what
    // some linkers write when it equals the raw size.
    section.extent = virtualSize == 0 ? rawSize : std::min(rawSize, virtualSize);
    return section;
}

}  // namespace

std::optional<uint64_t> PeLayout::FileOffsetOf(uint32_t rva, uint32_t length) const
{
    for (const PeSection& section : sections) {
        if (rva < section.virtualAddress) {
            continue;
        }
        uint32_t within = rva - section.virtualAddress;
        if (within < section.extent && length <= section.extent - within) {
            return static_cast<uint64_t>(section.rawOffset) + within;
        }
    }
    return std::nullopt;
}

std::optional<PeLayout> ReadPeLayout(const posix::files::BoundedFile& file,
                                     std::optional<bool>* pe32Plus)
{
    uint8_t dos[kDosHeaderSize];
    if (!file.ReadAt(0, sizeof dos, dos) || dos[0] != 'M' || dos[1] != 'Z') {
        return std::nullopt;
    }
    const uint64_t peOffset = ReadLe32(dos + kPeHeaderOffsetField);

    uint8_t fileHeader[kSignatureAndFileHeaderSize];
    if (!file.ReadAt(peOffset, sizeof fileHeader, fileHeader) || fileHeader[0] != 'P' ||
        fileHeader[1] != 'E' || fileHeader[2] != 0 || fileHeader[3] != 0) {
        return std::nullopt;
    }
    const uint16_t sectionCount = ReadLe16(fileHeader + 4 + 2);
    const uint16_t optionalHeaderSize = ReadLe16(fileHeader + 4 + 16);
    if (sectionCount == 0 || sectionCount > kMaxSections) {
        return std::nullopt;
    }

    const uint64_t optionalOffset = peOffset + kSignatureAndFileHeaderSize;
    uint8_t magicBytes[2];
    if (optionalHeaderSize < sizeof magicBytes ||
        !file.ReadAt(optionalOffset, sizeof magicBytes, magicBytes)) {
        return std::nullopt;
    }
    std::optional<OptionalHeaderShape> shape = ShapeOf(ReadLe16(magicBytes));
    if (!shape) {
        return std::nullopt;
    }
    if (pe32Plus != nullptr) {
        *pe32Plus = ReadLe16(magicBytes) == kPe32PlusMagic;
    }
    // Read just enough of the optional header to reach the resource directory's entry.
    const size_t needed = shape->firstDirectory +
                          (kResourceDirectoryIndex + 1) * kDataDirectorySize;
    if (optionalHeaderSize < needed) {
        return std::nullopt;
    }
    std::vector<uint8_t> optional(needed);
    if (!file.ReadAt(optionalOffset, optional.size(), optional.data())) {
        return std::nullopt;
    }
    if (ReadLe32(optional.data() + shape->directoryCountField) <= kResourceDirectoryIndex) {
        return std::nullopt;
    }
    const uint8_t* resourceEntry = optional.data() + shape->firstDirectory +
                                   kResourceDirectoryIndex * kDataDirectorySize;

    PeLayout layout;
    layout.resourceRva = ReadLe32(resourceEntry);
    if (layout.resourceRva == 0 || ReadLe32(resourceEntry + 4) == 0) {
        return std::nullopt;  // no resources at all
    }

    std::vector<uint8_t> table(static_cast<size_t>(sectionCount) * kSectionHeaderSize);
    if (!file.ReadAt(optionalOffset + optionalHeaderSize, table.size(), table.data())) {
        return std::nullopt;
    }
    layout.sections.reserve(sectionCount);
    for (size_t i = 0; i < sectionCount; ++i) {
        layout.sections.push_back(ParseSection(table.data() + i * kSectionHeaderSize));
    }
    return layout;
}

}  // namespace posix::version
