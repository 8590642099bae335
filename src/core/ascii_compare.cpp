#include "core/ascii_compare.h"

namespace {

char UpperAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool EqualIgnoringAsciiCase(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        if (UpperAsciiLetter(*a) != UpperAsciiLetter(*b)) {
            return false;
        }
        if (*a == '\0') {
            return true;
        }
    }
}

std::string LowerAsciiText(std::string text)
{
    for (char& c : text) {
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return text;
}
