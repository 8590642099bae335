// The "%NAME%" rule of environment-variable expansion, as the Windows expansion applies it:
// text is read from the left; a '%' opens a name that the next '%' closes; a name that is set
// is replaced by its value, one that is not (the empty name included) is kept as written,
// both '%' with it, and reading goes on after the closing '%'. A '%' that nothing closes is
// kept. A value is never expanded again.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// One "%NAME%" of a text: where it starts and the name between the two '%'.
struct PercentName {
    size_t at = 0;
    std::string name;
};

// Every "%NAME%" of `text`, in order. Which names are set does not change where the next
// one starts, so this is the same list the expansion meets.
std::vector<PercentName> FindPercentNames(const std::string& text);

// `text` with each name that `lookup` finds (it returns false for a name that is not set)
// replaced by the value it gives.
template <typename Lookup>
std::string ExpandPercentNames(const std::string& text, Lookup lookup)
{
    std::string expanded;
    size_t copied = 0;
    for (const PercentName& found : FindPercentNames(text)) {
        std::string value;
        if (lookup(found.name, &value)) {
            expanded.append(text, copied, found.at - copied);
            expanded += value;
            copied = found.at + found.name.size() + 2;
        }
    }
    return expanded.append(text, copied, std::string::npos);
}
