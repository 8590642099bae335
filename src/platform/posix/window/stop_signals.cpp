#include "platform/posix/window/stop_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "platform/win32.h"

namespace posix::window {
namespace {

constexpr int kStopSignals[] = {SIGHUP, SIGTERM, SIGINT};
constexpr int kStopSignalCount = sizeof kStopSignals / sizeof kStopSignals[0];
constexpr int kMostReadsPerLook = 16;  // a flood of signals cannot hold the thread here

// Made once and kept for the process: a handler may still be running when the actions are
// put back, so its write end must never close or be reused.
int gPipe[2] = {-1, -1};
volatile std::sig_atomic_t gPipeWriteEnd = -1;

bool gCaught = false;
bool gInstalled[kStopSignalCount] = {};
struct sigaction gEarlier[kStopSignalCount];

void OnStopSignal(int signal)
{
    int savedErrno = errno;
    auto number = static_cast<unsigned char>(signal);
    // A full pipe already holds a stop request, so a failed write loses nothing.
    ssize_t written = write(gPipeWriteEnd, &number, 1);
    static_cast<void>(written);
    errno = savedErrno;
}

bool MakePipe()
{
    if (gPipe[0] >= 0) {
        return true;
    }
    if (pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        gPipe[0] = gPipe[1] = -1;
        return false;
    }
    gPipeWriteEnd = gPipe[1];
    return true;
}

// Reads what the handler wrote, up to a bound; marks each signal seen in `seen`.
bool DrainPipe(bool seen[kStopSignalCount])
{
    bool any = false;
    unsigned char numbers[64];
    for (int tries = 0; tries < kMostReadsPerLook; ++tries) {
        ssize_t got = read(gPipe[0], numbers, sizeof numbers);
        if (got <= 0) {
            break;
        }
        any = true;
        for (ssize_t i = 0; i < got; ++i) {
            for (int s = 0; s < kStopSignalCount; ++s) {
                seen[s] = seen[s] || numbers[i] == kStopSignals[s];
            }
        }
    }
    return any;
}

}  // namespace

void CatchStopSignals()
{
    if (gCaught || !MakePipe()) {
        return;
    }
    gCaught = true;
    for (int s = 0; s < kStopSignalCount; ++s) {
        struct sigaction action {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        gInstalled[s] = sigaction(kStopSignals[s], nullptr, &gEarlier[s]) == 0 &&
                        gEarlier[s].sa_handler != SIG_IGN &&
                        sigaction(kStopSignals[s], &action, nullptr) == 0;
    }
}

void ReleaseStopSignals()
{
    if (!gCaught) {
        return;
    }
    for (int s = 0; s < kStopSignalCount; ++s) {
        if (gInstalled[s]) {
            sigaction(kStopSignals[s], &gEarlier[s], nullptr);
            gInstalled[s] = false;
        }
    }
    gCaught = false;
    bool pending[kStopSignalCount] = {};
    DrainPipe(pending);
    for (int s = 0; s < kStopSignalCount; ++s) {
        if (pending[s]) {
            raise(kStopSignals[s]);
        }
    }
}

int StopSignalPipe()
{
    return gCaught ? gPipe[0] : -1;
}

bool TakeStopSignals()
{
    bool seen[kStopSignalCount] = {};
    if (!gCaught || !DrainPipe(seen)) {
        return false;
    }
    PostMessageA(nullptr, WM_QUIT, 0, 0);
    return true;
}

}  // namespace posix::window
