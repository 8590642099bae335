// Comparing names without regard to the case of ASCII letters, whatever the user's locale.
#pragma once

// True when `a` and `b` are equal once 'a'-'z' are taken as 'A'-'Z'; every other byte must be
// equal as it is. A locale's own case rules (a dotted capital I, say) never make names match.
bool EqualIgnoringAsciiCase(const char* a, const char* b);
