// Folding the case of ASCII letters only, whatever the user's locale: the one rule by which
// the programs and the POSIX stand-in compare names without regard to case. A locale's own
// case rules (a dotted capital I, say) never make names match; every byte other than 'A'-'Z'
// and 'a'-'z' is taken as it is.
#pragma once

#include <string>
#include <string_view>

constexpr char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char UpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// True when `a` and `b` have the same length and are equal once their letters are folded.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

// `text` with its letters folded to lower case.
std::string LowerAsciiText(std::string text);
