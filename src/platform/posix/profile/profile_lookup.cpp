#include "platform/posix/profile/profile_lookup.h"

namespace posix::profile {

uint32_t ParseProfileUnsigned(std::string_view value)
{
    size_t i = 0;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
        negative = value[i] == '-';
        ++i;
    }
    uint32_t result = 0;
    if (value.substr(i, 2) == "0x") {
        for (i += 2; i < value.size(); ++i) {
            char c = value[i];
            uint32_t digit;
            if (c >= '0' && c <= '9') {
                digit = static_cast<uint32_t>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                digit = static_cast<uint32_t>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                digit = static_cast<uint32_t>(c - 'A' + 10);
            } else {
                break;
            }
            result = result * 16u + digit;
        }
    } else {
        for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
            result = result * 10u + static_cast<uint32_t>(value[i] - '0');
        }
    }
    return negative ? 0u - result : result;
}

}  // namespace posix::profile
