// Reading UTF-8 one code point at a time: the rule the autostart entries, the WIN.INI's UTF-16
// writing and the companion's escaping of what it prints all use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// The code point that starts at `at`, which then moves past it; nothing (and `at` unmoved)
// when the bytes there are not the shortest well-formed UTF-8 of a scalar value.
std::optional<uint32_t> NextCodePoint(std::string_view text, size_t& at);

// True when the whole text is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);
