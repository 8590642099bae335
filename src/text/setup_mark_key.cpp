#include "text/setup_mark_key.h"

#include <cstdint>

namespace {

constexpr uint64_t kFnvOffset = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

uint64_t HashText(uint64_t hash, std::string_view text)
{
    for (char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * kFnvPrime;
    }
    return hash * kFnvPrime;  // the zero byte that ends the text
}

}  // namespace

std::string SetupMarkKey(std::string_view account, std::string_view settingsPath,
                         std::string_view setupApp)
{
    uint64_t hash = HashText(HashText(HashText(kFnvOffset, account), settingsPath), setupApp);
    std::string key(16, '0');
    for (size_t digit = key.size(); digit > 0; --digit, hash >>= 4) {
        key[digit - 1] = "0123456789abcdef"[hash & 0xF];
    }
    return key;
}
