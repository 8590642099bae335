#include "text/percent_names.h"

std::vector<PercentName> FindPercentNames(const std::string& text)
{
    std::vector<PercentName> names;
    for (size_t open = text.find('%'); open != std::string::npos;) {
        size_t close = text.find('%', open + 1);
        if (close == std::string::npos) {
            break;
        }
        names.push_back({open, text.substr(open + 1, close - open - 1)});
        open = text.find('%', close + 1);
    }
    return names;
}
