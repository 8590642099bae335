// Names met while reading many files (applications, computers, users), each kept once and
// known by a small number, so that tallies key on numbers and lookups allocate nothing.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

class NameTable {
public:
    // The number of `name`, given a new one when it is met first.
    uint32_t Intern(std::string_view name);
    // The number of `name`, or kAbsent.
    uint32_t Find(std::string_view name) const;
    const std::string& Name(uint32_t id) const { return names_[id]; }
    static constexpr uint32_t kAbsent = UINT32_MAX;

private:
    std::deque<std::string> names_;  // a deque keeps each string where it is, for the keys
    std::unordered_map<std::string_view, uint32_t> ids_;
};

// Two numbers as one key.
inline uint64_t PairKey(uint32_t first, uint32_t second)
{
    return (uint64_t{first} << 32) | second;
}
