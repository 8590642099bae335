#include "platform/posix/version/resource_walk.h"

#include <algorithm>
#include <limits>

#include "platform/posix/version/le_bytes.h"

namespace posix::version {

namespace {

constexpr uint32_t kHighBit = 0x80000000u;
constexpr size_t kDirectoryHeaderSize = 16;
constexpr size_t kEntrySize = 8;
constexpr size_t kDataEntrySize = 16;
constexpr size_t kEntriesPerRead = 64;
// No real image holds anywhere near this many entries in one directory on the way to its
// version resource; a larger count is corruption and would only cost reads.
constexpr uint32_t kMaxEntries = 4096;
constexpr size_t kLevels = 3;

struct DirectoryEntry {
    uint32_t name = 0;    // an ID, or with the high bit set the offset of a name string
    uint32_t target = 0;  // with the high bit set a subdirectory, else a data entry
};

class ResourceWalker {
public:
    ResourceWalker(const posix::files::BoundedFile& file, const PeLayout& layout)
        : file_(file), layout_(layout)
    {
    }

    std::optional<ResourceData> Walk(uint32_t typeId, uint32_t nameId)
    {
        std::optional<Directory> types = OpenDirectory(0);
        std::optional<DirectoryEntry> type = types ? FindById(*types, typeId) : std::nullopt;
        if (!type || !IsDirectory(*type)) {
            return std::nullopt;
        }
        std::optional<Directory> names = OpenDirectory(Offset(*type));
        if (!names) {
            return std::nullopt;
        }
        std::optional<DirectoryEntry> name = FindById(*names, nameId);
        if (!name) {
            name = FindFirst(*names);
        }
        if (!name || !IsDirectory(*name)) {
            return std::nullopt;
        }
        std::optional<Directory> languages = OpenDirectory(Offset(*name));
        std::optional<DirectoryEntry> language = languages ? FindFirst(*languages) : std::nullopt;
        if (!language || IsDirectory(*language)) {
            return std::nullopt;
        }
        uint8_t data[kDataEntrySize];
        if (!ReadRelative(language->target, sizeof data, data)) {
            return std::nullopt;
        }
        return ResourceData{ReadLe32(data), ReadLe32(data + 4)};
    }

private:
    struct Directory {
        uint32_t firstEntry = 0;  // offset of the entry array
        uint32_t namedCount = 0;
        uint32_t totalCount = 0;
    };

    static bool IsDirectory(const DirectoryEntry& entry) { return (entry.target & kHighBit) != 0; }
    static uint32_t Offset(const DirectoryEntry& entry) { return entry.target & ~kHighBit; }

    // Reads bytes at an offset from the start of the resource directory.
    bool ReadRelative(uint32_t offset, size_t length, void* out) const
    {
        uint64_t rva = static_cast<uint64_t>(layout_.resourceRva) + offset;
        if (rva > std::numeric_limits<uint32_t>::max() ||
            length > std::numeric_limits<uint32_t>::max()) {
            return false;
        }
        std::optional<uint64_t> fileOffset = layout_.FileOffsetOf(static_cast<uint32_t>(rva),
                                                                  static_cast<uint32_t>(length));
        return fileOffset && file_.ReadAt(*fileOffset, length, out);
    }

    // Each directory is opened at most once on the way down, so a directory that points back
    // at one already seen ends the walk.
    std::optional<Directory> OpenDirectory(uint32_t offset)
    {
        for (size_t i = 0; i < visitedCount_; ++i) {
            if (visited_[i] == offset) {
                return std::nullopt;
            }
        }
        if (visitedCount_ == kLevels) {
            return std::nullopt;
        }
        visited_[visitedCount_++] = offset;

        uint8_t header[kDirectoryHeaderSize];
        if (!ReadRelative(offset, sizeof header, header)) {
            return std::nullopt;
        }
        Directory directory;
        directory.namedCount = ReadLe16(header + 12);
        directory.totalCount = directory.namedCount + ReadLe16(header + 14);
        if (directory.totalCount > kMaxEntries) {
            return std::nullopt;
        }
        directory.firstEntry = offset + static_cast<uint32_t>(kDirectoryHeaderSize);
        // The whole entry array must be there, not just the part a search happens to reach.
        if (directory.totalCount > 0) {
            uint8_t last[kEntrySize];
            uint64_t lastOffset = directory.firstEntry +
                                  (directory.totalCount - 1) * uint64_t{kEntrySize};
            if (lastOffset > std::numeric_limits<uint32_t>::max() ||
                !ReadRelative(static_cast<uint32_t>(lastOffset), sizeof last, last)) {
                return std::nullopt;
            }
        }
        return directory;
    }

    // The ID entries follow the named ones in ascending order, so the scan stops at the first
    // ID past the one sought.
    std::optional<DirectoryEntry> FindById(const Directory& directory, uint32_t id) const
    {
        uint8_t chunk[kEntriesPerRead * kEntrySize];
        for (uint32_t index = directory.namedCount; index < directory.totalCount;) {
            size_t count = std::min<size_t>(kEntriesPerRead, directory.totalCount - index);
            if (!ReadRelative(directory.firstEntry + index * static_cast<uint32_t>(kEntrySize),
                              count * kEntrySize, chunk)) {
                return std::nullopt;
            }
            for (size_t i = 0; i < count; ++i) {
                DirectoryEntry entry{ReadLe32(chunk + i * kEntrySize),
                                     ReadLe32(chunk + i * kEntrySize + 4)};
                if (entry.name == id) {
                    return entry;
                }
                if ((entry.name & kHighBit) == 0 && entry.name > id) {
                    return std::nullopt;
                }
            }
            index += static_cast<uint32_t>(count);
        }
        return std::nullopt;
    }

    std::optional<DirectoryEntry> FindFirst(const Directory& directory) const
    {
        if (directory.totalCount == 0) {
            return std::nullopt;
        }
        uint8_t raw[kEntrySize];
        if (!ReadRelative(directory.firstEntry, sizeof raw, raw)) {
            return std::nullopt;
        }
        return DirectoryEntry{ReadLe32(raw), ReadLe32(raw + 4)};
    }

    const posix::files::BoundedFile& file_;
    const PeLayout& layout_;
    uint32_t visited_[kLevels] = {};
    size_t visitedCount_ = 0;
};

}  // namespace

std::optional<ResourceData> FindResourceData(const posix::files::BoundedFile& file,
                                             const PeLayout& layout, uint32_t typeId,
                                             uint32_t nameId)
{
    return ResourceWalker(file, layout).Walk(typeId, nameId);
}

std::optional<ResourceData> FindVersionResource(const posix::files::BoundedFile& file,
                                                const PeLayout& layout)
{
    return FindResourceData(file, layout, kVersionType, 1);
}

}  // namespace posix::version
