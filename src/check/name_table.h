// Names met while reading many files (applications, computers, users, log-line tails), each
// kept once and known by a small number, so that tallies key on numbers and lookups allocate
// nothing. An open-addressed table of hashes over one arena of the names' bytes: a million
// lookups of a site's log cost about one cache miss each.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class NameTable {
public:
    // The number of `name`, given a new one when it is met first.
    uint32_t Intern(std::string_view name);
    // The number of `name`, or kAbsent.
    uint32_t Find(std::string_view name) const;
    std::string_view Name(uint32_t id) const { return views_[id]; }
    static constexpr uint32_t kAbsent = UINT32_MAX;

private:
    struct Slot {
        uint32_t check = 0;  // the hash's high half, compared before the name
        uint32_t id = kAbsent;
    };
    // The slot holding `name`, or the empty slot where it belongs.
    size_t SlotOf(std::string_view name, uint64_t hash) const;
    void Grow();
    std::string_view Keep(std::string_view name);

    std::vector<std::unique_ptr<char[]>> blocks_;  // the names' bytes; a block never moves
    size_t blockRoom_ = 0;
    std::vector<std::string_view> views_;
    std::vector<Slot> slots_;  // a power of two, at most half full
};

// Two numbers as one key.
inline uint64_t PairKey(uint32_t first, uint32_t second)
{
    return (uint64_t{first} << 32) | second;
}
