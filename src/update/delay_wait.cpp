// The start delay: a hidden window with a one-minute timer counts the minutes down while the
// waiting thread serves its message queue, sleeping between messages. Each sleep is bounded, so
// the loop looks at its window again at least once a second even if no message ever comes.
#include "update/delay_wait.h"

#include <new>

#include "core/pump_messages.h"
#include "core/run_settings.h"
#include "update/delay_countdown.h"

namespace {

constexpr char kDelayClassName[] = "Brindlemar:Quorvel:Delay";
constexpr char kLowPropertyName[] = "Brindlemar:Quorvel:DelayInfo:Low";
constexpr char kHighPropertyName[] = "Brindlemar:Quorvel:DelayInfo:High";
constexpr UINT_PTR kMinuteTimerId = 1;
constexpr UINT kMinuteMs = 60000;
constexpr DWORD kLongestSleepMs = 1000;
constexpr DWORD kHiddenOverlappedStyle = 0;  // overlapped, and never visible
constexpr UINT_PTR kWindowBackground = COLOR_WINDOW + 1;

// The property atoms: added the first time a delay window is created, kept for the process.
ATOM gLowAtom = 0;
ATOM gHighAtom = 0;

bool EnsurePropertyAtoms()
{
    if (gLowAtom == 0) {
        gLowAtom = AddAtomA(kLowPropertyName);
    }
    if (gHighAtom == 0) {
        gHighAtom = AddAtomA(kHighPropertyName);
    }
    return gLowAtom != 0 && gHighAtom != 0;
}

bool StoreRecordAddress(HWND window, const DelayCountdown* record)
{
    AddressHalves halves = SplitRecordAddress(record);
    return SetPropA(window, MAKEINTATOM(gLowAtom), reinterpret_cast<HANDLE>(halves.low)) &&
           SetPropA(window, MAKEINTATOM(gHighAtom), reinterpret_cast<HANDLE>(halves.high));
}

// The window's record, or nullptr when it has none (its creation failed early).
DelayCountdown* LoadRecordAddress(HWND window)
{
    if (gLowAtom == 0 || gHighAtom == 0) {
        return nullptr;
    }
    auto low = reinterpret_cast<UINT_PTR>(GetPropA(window, MAKEINTATOM(gLowAtom)));
    auto high = reinterpret_cast<UINT_PTR>(GetPropA(window, MAKEINTATOM(gHighAtom)));
    return JoinRecordAddress(low, high);
}

void ForgetRecordAddress(HWND window)
{
    if (gLowAtom != 0 && gHighAtom != 0) {
        RemovePropA(window, MAKEINTATOM(gHighAtom));
        RemovePropA(window, MAKEINTATOM(gLowAtom));
    }
}

// Takes a copy of the waiter's record and starts the minute timer. Any failure fails the
// creation (-1) after undoing itself: a window without its record or timer would never end
// the wait.
LRESULT OnCreate(HWND window, const CREATESTRUCTA* create)
{
    const auto* waiter = static_cast<const DelayCountdown*>(create->lpCreateParams);
    if (waiter == nullptr) {
        return -1;
    }
    auto* copy = new (std::nothrow) DelayCountdown(*waiter);
    if (copy == nullptr) {
        return -1;
    }
    if (!EnsurePropertyAtoms() || !StoreRecordAddress(window, copy) ||
        SetTimer(window, kMinuteTimerId, kMinuteMs, nullptr) == 0) {
        ForgetRecordAddress(window);
        delete copy;
        return -1;
    }
    return 0;
}

void OnTimer(HWND window)
{
    DelayCountdown* copy = LoadRecordAddress(window);
    if (copy == nullptr) {
        return;
    }
    if (copy->minutesLeft > 0) {
        --copy->minutesLeft;
    }
    if (copy->minutesLeft == 0) {
        // The flag is set before the window goes, so the waiter sees it as the dispatch returns.
        KillTimer(window, kMinuteTimerId);
        *copy->doneFlag = 1;
        DestroyWindow(window);
    }
}

void OnDestroy(HWND window)
{
    delete LoadRecordAddress(window);
    ForgetRecordAddress(window);
}

}  // namespace

ATOM RegisterDelayClass()
{
    WNDCLASSA windowClass{};
    windowClass.style = 0;
    windowClass.lpfnWndProc = DelayWndProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = gRunSettings.instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(kWindowBackground);
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = kDelayClassName;
    return RegisterClassA(&windowClass);
}

bool WaitForDelay(DWORD minutes)
{
    return WaitOnDelayWindow(minutes, kMinuteMs);
}

bool WaitOnDelayWindow(DWORD periods, UINT periodMs)
{
    if (periods == 0) {
        return true;
    }
    LONG done = 0;
    DelayCountdown waiter{periods, &done};
    HWND window = CreateWindowExA(0, kDelayClassName, "", kHiddenOverlappedStyle, 0, 0, 0, 0,
                                  nullptr, nullptr, gRunSettings.instance, &waiter);
    if (!IsWindow(window)) {
        return true;  // no window, no wait
    }
    // The window starts its minute timer as it is made; another period sets timer 1 again.
    if (periodMs != kMinuteMs && SetTimer(window, kMinuteTimerId, periodMs, nullptr) == 0) {
        DestroyWindow(window);
        return true;  // no timer of that period, no wait
    }
    for (;;) {
        if (done != 0) {
            return true;
        }
        if (!PumpMessages()) {
            break;  // a quit request: it stays queued, and the wait gives way to it
        }
        if (done != 0) {
            return true;
        }
        if (!IsWindow(window)) {
            return false;  // destroyed before the count ran out, by a close request or the like
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, kLongestSleepMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    // The window's record points at this call's flag, so the window must not outlive it.
    if (IsWindow(window)) {
        DestroyWindow(window);
    }
    return false;
}

void UnregisterDelayClass()
{
    UnregisterClassA(kDelayClassName, gRunSettings.instance);
}

extern "C" LRESULT CALLBACK DelayWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_TIMER:
        OnTimer(window);
        return 0;
    case WM_DESTROY:
        OnDestroy(window);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
