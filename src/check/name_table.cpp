#include "check/name_table.h"

#include <cstring>
#include <functional>

namespace {

constexpr size_t kBlockBytes = size_t{256} * 1024;

uint32_t CheckOf(uint64_t hash)
{
    return static_cast<uint32_t>(hash >> 32);
}

}  // namespace

size_t NameTable::SlotOf(std::string_view name, uint64_t hash) const
{
    size_t mask = slots_.size() - 1;
    uint32_t check = CheckOf(hash);
    for (size_t at = static_cast<size_t>(hash) & mask;; at = (at + 1) & mask) {
        const Slot& slot = slots_[at];
        if (slot.id == kAbsent || (slot.check == check && views_[slot.id] == name)) {
            return at;
        }
    }
}

void NameTable::Grow()
{
    slots_.assign(slots_.empty() ? 1024 : slots_.size() * 2, Slot{});
    size_t mask = slots_.size() - 1;
    for (uint32_t id = 0; id < views_.size(); ++id) {
        uint64_t hash = std::hash<std::string_view>()(views_[id]);
        size_t at = static_cast<size_t>(hash) & mask;
        while (slots_[at].id != kAbsent) {
            at = (at + 1) & mask;
        }
        slots_[at] = {CheckOf(hash), id};
    }
}

std::string_view NameTable::Keep(std::string_view name)
{
    if (name.empty()) {
        return {};
    }
    if (name.size() > blockRoom_) {
        size_t size = name.size() > kBlockBytes ? name.size() : kBlockBytes;
        blocks_.emplace_back(new char[size]);
        blockRoom_ = size;
    }
    char* at = blocks_.back().get() + (name.size() > kBlockBytes ? 0 : kBlockBytes - blockRoom_);
    std::memcpy(at, name.data(), name.size());
    blockRoom_ -= name.size();
    return std::string_view(at, name.size());
}

uint32_t NameTable::Intern(std::string_view name)
{
    if ((views_.size() + 1) * 2 > slots_.size()) {
        Grow();
    }
    uint64_t hash = std::hash<std::string_view>()(name);
    Slot& slot = slots_[SlotOf(name, hash)];
    if (slot.id == kAbsent) {
        slot = {CheckOf(hash), static_cast<uint32_t>(views_.size())};
        views_.push_back(Keep(name));
    }
    return slot.id;
}

uint32_t NameTable::Find(std::string_view name) const
{
    if (slots_.empty()) {
        return kAbsent;
    }
    return slots_[SlotOf(name, std::hash<std::string_view>()(name))].id;
}
