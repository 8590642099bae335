#include "update/spread_wait.h"

#include <cstdint>

#include "core/spread_setting.h"
#include "update/delay_wait.h"

namespace {

constexpr DWORD kMsPerSecond = 1000;
// Each draw is refused with a chance below one in a thousand; a source that keeps giving
// refused values cannot hold the run, which then goes on without a spread.
constexpr int kMostDraws = 16;

}  // namespace

bool SpreadFromRandom(DWORD random, DWORD rangeMs, DWORD* waitMs)
{
    if (rangeMs == 0) {
        return false;
    }
    constexpr uint64_t kValues = uint64_t{1} << 32;
    if (random >= kValues - kValues % rangeMs) {
        return false;
    }
    *waitMs = random % rangeMs;
    return true;
}

bool DrawSpreadMs(UINT seconds, DWORD* waitMs)
{
    *waitMs = 0;
    DWORD rangeMs = (seconds < kLongestSpreadSeconds ? seconds : kLongestSpreadSeconds) *
                    kMsPerSecond;
    if (rangeMs == 0) {
        return true;
    }
    for (int draw = 0; draw < kMostDraws; ++draw) {
        unsigned char bytes[4];
        if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, bytes, sizeof bytes,
                                            BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
            return false;
        }
        DWORD random = static_cast<DWORD>(bytes[0]) | static_cast<DWORD>(bytes[1]) << 8 |
                       static_cast<DWORD>(bytes[2]) << 16 | static_cast<DWORD>(bytes[3]) << 24;
        if (SpreadFromRandom(random, rangeMs, waitMs)) {
            return true;
        }
    }
    return false;
}

bool WaitForSpread(UINT seconds)
{
    DWORD waitMs = 0;
    if (!DrawSpreadMs(seconds, &waitMs) || waitMs == 0) {
        return true;
    }
    // One period of the drawn length: the window's first timer message ends the wait.
    return WaitOnDelayWindow(1, waitMs);
}
