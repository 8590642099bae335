// Editing one key of the user's WIN.INI while keeping every other byte of the file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace posix::profile {

// The value as it is stored so that reading gives it back exactly: inside double quotes when
// it begins or ends with a blank or tab, or begins and ends with the same quote character.
std::string EncodeProfileValue(std::string_view value);

// The file text with `key` of `section` set to `value` (null: the key's line removed). The
// key the reader would find (first section of that name, first such key) has its value
// replaced; a missing key is added after the section's last entry, a missing section at the
// end. Other bytes, line ends and a UTF-8 mark stay as they were; added lines use the file's
// first line end (LF in a file that has none). A UTF-16 file with a mark stays UTF-16 in its
// byte order, every other character kept. Nothing when the request cannot be stored
// faithfully: a name or value holding a line break, an empty key, a key with '=' or one that
// would read as a comment or a header; in a UTF-16 file also a lone surrogate or an odd last
// byte, or text that is not UTF-8.
std::optional<std::string> SetProfileEntry(const std::string& text, std::string_view section,
                                           std::string_view key, const char* value);

// The same over decoded text whose entries start at `bodyStart` (after a mark, if any).
std::optional<std::string> SetProfileEntryAfter(const std::string& text, size_t bodyStart,
                                                std::string_view section, std::string_view key,
                                                const char* value);

}  // namespace posix::profile
