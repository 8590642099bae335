// Comparing names without regard to the case of ASCII letters, whatever the user's locale.
#pragma once

#include <string>

// True when `a` and `b` are equal once 'a'-'z' are taken as 'A'-'Z'; every other byte must be
// equal as it is. A locale's own case rules (a dotted capital I, say) never make names match.
bool EqualIgnoringAsciiCase(const char* a, const char* b);

// `text` with 'A'-'Z' taken to 'a'-'z' and every other byte as it is.
std::string LowerAsciiText(std::string text);
