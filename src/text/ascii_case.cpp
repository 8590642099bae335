#include "text/ascii_case.h"

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::string LowerAsciiText(std::string text)
{
    for (char& c : text) {
        c = LowerAscii(c);
    }
    return text;
}
