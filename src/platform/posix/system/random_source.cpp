// The system's random source, from the kernel's generator: never the clock or the process id,
// so processes started at the same moment draw different values.
#include <sys/random.h>

#include <cerrno>

#include "platform/win32.h"

namespace {

constexpr NTSTATUS kStatusSuccess = 0;
constexpr auto kStatusUnsuccessful = static_cast<NTSTATUS>(0xC0000001u);
constexpr auto kStatusInvalidParameter = static_cast<NTSTATUS>(0xC000000Du);

}  // namespace

NTSTATUS WINAPI BCryptGenRandom(BCRYPT_ALG_HANDLE algorithm, PUCHAR buffer, ULONG length,
                                ULONG flags)
{
    if (algorithm != nullptr || flags != BCRYPT_USE_SYSTEM_PREFERRED_RNG ||
        (buffer == nullptr && length != 0)) {
        return kStatusInvalidParameter;
    }
    ULONG done = 0;
    while (done < length) {
        ssize_t got = getrandom(buffer + done, length - done, 0);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return kStatusUnsuccessful;
        }
        done += static_cast<ULONG>(got);
    }
    return kStatusSuccess;
}
