// The POSIX message queue: order of posted and timer messages, dispatch, the pump, and waiting.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <csignal>
#include <vector>

#include "core/pump_messages.h"
#include "platform/win32.h"
#include "support/virtual_timer_clock.h"
#include "support/window_inspect.h"

using namespace posix::window;

namespace {

constexpr char kClassName[] = "Test:MessageQueue";

std::vector<MSG>* gDispatched = nullptr;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE || message == WM_DESTROY) {
        return 0;
    }
    gDispatched->push_back(MSG{window, message, wParam, lParam, 0, POINT{0, 0}});
    return 100 + static_cast<LRESULT>(wParam);
}

class MessageQueue : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetTimerClock(&clock_);
        gDispatched = &dispatched_;
        Drain();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = CountingProc;
        windowClass.lpszClassName = kClassName;
        ASSERT_NE(RegisterClassA(&windowClass), 0);
        window_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                                  nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(window_);
        UnregisterClassA(kClassName, nullptr);
        Drain();
        SetTimerClock(nullptr);
        gDispatched = nullptr;
    }
    static void Drain()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    static std::vector<UINT> TakeAll()
    {
        std::vector<UINT> taken;
        MSG msg;
        while (taken.size() < 100 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            taken.push_back(msg.message);
        }
        return taken;
    }

    VirtualTimerClock clock_{5000};
    std::vector<MSG> dispatched_;
    HWND window_ = nullptr;
};

TEST_F(MessageQueue, TimerMessageOnlyOnceNothingIsPostedAndMissedPeriodsCollapse)
{
    ASSERT_NE(SetTimer(window_, 9, 100, nullptr), 0u);
    EXPECT_EQ(TakeAll(), std::vector<UINT>{});  // not due yet
    clock_.Advance(350);                        // three periods pass unserved
    ASSERT_EQ(PostMessageA(window_, WM_USER, 0, 0), TRUE);
    ASSERT_EQ(PostMessageA(nullptr, WM_USER + 1, 0, 0), TRUE);

    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // looking leaves everything in place
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    EXPECT_EQ(TakeAll(), (std::vector<UINT>{WM_USER, WM_USER + 1, WM_TIMER}));

    // Re-armed one period after it was taken, not once per missed period.
    clock_.Advance(99);
    EXPECT_EQ(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE), FALSE);
    clock_.Advance(1);
    ASSERT_EQ(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE), TRUE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(msg.hwnd, window_);
    EXPECT_EQ(msg.wParam, 9u);

    EXPECT_EQ(KillTimer(window_, 9), TRUE);
    EXPECT_EQ(KillTimer(window_, 9), FALSE);
    clock_.Advance(1000);
    EXPECT_EQ(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE), FALSE);
}

TEST_F(MessageQueue, FiltersByWindowAndRange)
{
    PostMessageA(nullptr, WM_USER, 0, 0);
    PostMessageA(window_, WM_USER + 1, 0, 0);
    PostMessageA(window_, WM_USER + 5, 0, 0);
    MSG msg;
    ASSERT_EQ(PeekMessageA(&msg, window_, 0, 0, PM_REMOVE), TRUE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
    ASSERT_EQ(PeekMessageA(&msg, nullptr, WM_USER + 2, WM_USER + 9, PM_REMOVE), TRUE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 5));
    EXPECT_EQ(PeekMessageA(&msg, window_, 0, 0, PM_REMOVE), FALSE);
    EXPECT_EQ(TakeAll(), std::vector<UINT>{WM_USER});
}

TEST_F(MessageQueue, DispatchGoesToTheLiveWindowOnly)
{
    MSG toWindow{window_, WM_USER, 5, 0, 0, POINT{0, 0}};
    EXPECT_EQ(DispatchMessageA(&toWindow), 105);
    MSG toThread{nullptr, WM_USER, 5, 0, 0, POINT{0, 0}};
    EXPECT_EQ(DispatchMessageA(&toThread), 0);
    EXPECT_EQ(DispatchMessageA(nullptr), 0);
    // A timer message naming a procedure that no timer has is not called through.
    MSG forgedTimer{nullptr, WM_TIMER, 1, 0x1234, 0, POINT{0, 0}};
    EXPECT_EQ(DispatchMessageA(&forgedTimer), 0);
    EXPECT_EQ(dispatched_.size(), 1u);

    ASSERT_EQ(PostMessageA(window_, WM_USER, 6, 0), TRUE);
    ASSERT_EQ(DestroyWindow(window_), TRUE);
    MSG stale;
    ASSERT_EQ(PeekMessageA(&stale, nullptr, 0, 0, PM_REMOVE), TRUE);
    EXPECT_EQ(DispatchMessageA(&stale), 0);
    EXPECT_EQ(dispatched_.size(), 1u);
}

TEST_F(MessageQueue, PumpDispatchesUntilAQuitAndPostsTheQuitBack)
{
    PostMessageA(window_, WM_USER, 1, 0);
    PostMessageA(nullptr, WM_QUIT, 7, 8);
    PostMessageA(window_, WM_USER, 2, 0);
    EXPECT_FALSE(PumpMessages());
    ASSERT_EQ(dispatched_.size(), 1u);
    EXPECT_EQ(dispatched_[0].wParam, 1u);
    EXPECT_EQ(CountQueuedMessages(), 2u);

    // The quit went to the back; the next pump serves what was behind it and meets it again.
    EXPECT_FALSE(PumpMessages());
    ASSERT_EQ(dispatched_.size(), 2u);
    EXPECT_EQ(dispatched_[1].wParam, 2u);
    MSG msg;
    ASSERT_EQ(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE), TRUE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(msg.lParam, 8);
    EXPECT_TRUE(PumpMessages());
}

TEST_F(MessageQueue, PumpDispatchesDueTimers)
{
    ASSERT_NE(SetTimer(window_, 3, 60000, nullptr), 0u);
    clock_.Advance(60000);
    EXPECT_TRUE(PumpMessages());
    ASSERT_EQ(dispatched_.size(), 1u);
    EXPECT_EQ(dispatched_[0].message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(dispatched_[0].wParam, 3u);
}

DWORD WaitForInput(DWORD milliseconds)
{
    return MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

TEST_F(MessageQueue, VirtualWaitJumpsToTheNextDueTimerOrItsTimeout)
{
    MSG msg;
    EXPECT_EQ(WaitForInput(INFINITE), WAIT_TIMEOUT);  // nothing at all to wait for: no hang
    EXPECT_EQ(clock_.NowMs(), 5000u);

    ASSERT_NE(SetTimer(window_, 1, 60000, nullptr), 0u);
    ASSERT_NE(SetTimer(window_, 2, 30000, nullptr), 0u);
    EXPECT_EQ(WaitForInput(1000), WAIT_TIMEOUT);
    EXPECT_EQ(clock_.NowMs(), 6000u);
    EXPECT_EQ(WaitForInput(INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(clock_.NowMs(), 35000u);
    ASSERT_EQ(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE), TRUE);
    EXPECT_EQ(msg.wParam, 2u);

    PostMessageA(nullptr, WM_USER, 0, 0);
    EXPECT_EQ(WaitForInput(INFINITE), WAIT_OBJECT_0);  // something queued: no time passes
    EXPECT_EQ(clock_.NowMs(), 35000u);
    EXPECT_EQ(clock_.waits(), 3u);
    // No waitable objects here: asking for any fails at once.
    HANDLE none = nullptr;
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(1, &none, 0, QS_ALLINPUT, 0), WAIT_FAILED);
}

class RealClockQueue : public MessageQueue {
protected:
    void SetUp() override
    {
        MessageQueue::SetUp();
        DestroyWindow(window_);
        SetTimerClock(nullptr);
        window_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                                  nullptr);
        ASSERT_NE(window_, nullptr);
    }
};

TEST_F(RealClockQueue, WaitSleepsUntilTheTimerFallsDueOrItsTimeout)
{
    ASSERT_NE(SetTimer(window_, 1, 10000, nullptr), 0u);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForInput(50), WAIT_TIMEOUT);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(45));

    ASSERT_NE(SetTimer(window_, 2, 50, nullptr), 0u);
    start = std::chrono::steady_clock::now();
    MSG msg;
    while (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        WaitForInput(INFINITE);
    }
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(msg.wParam, 2u);
    EXPECT_GE(elapsed, std::chrono::milliseconds(45));
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}

volatile std::sig_atomic_t gEarlierHandlerCalls = 0;
void EarlierHandler(int)
{
    gEarlierHandlerCalls = gEarlierHandlerCalls + 1;
}

sighandler_t ActionOf(int signal)
{
    struct sigaction action {};
    sigaction(signal, nullptr, &action);
    return action.sa_handler;
}

TEST_F(RealClockQueue, StopSignalsAreAQuitWhileAWindowLivesAndNeverLost)
{
    DestroyWindow(window_);  // the last window: the earlier actions are back
    signal(SIGINT, EarlierHandler);
    signal(SIGHUP, SIG_IGN);
    window_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
    EXPECT_EQ(ActionOf(SIGHUP), SIG_IGN);  // ignored stays ignored

    // Caught before the wait began, served by it at once.
    raise(SIGTERM);
    EXPECT_EQ(WaitForInput(INFINITE), WAIT_OBJECT_0);
    MSG msg;
    ASSERT_EQ(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE), TRUE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(gEarlierHandlerCalls, 0);

    // Caught but never waited for: raised again under the earlier action when the window goes.
    raise(SIGINT);
    DestroyWindow(window_);
    window_ = nullptr;
    EXPECT_EQ(gEarlierHandlerCalls, 1);
    EXPECT_EQ(ActionOf(SIGINT), &EarlierHandler);
    EXPECT_EQ(ActionOf(SIGTERM), SIG_DFL);
    signal(SIGINT, SIG_DFL);
    signal(SIGHUP, SIG_DFL);
}

TEST_F(MessageQueue, FullQueueRefusesPosts)
{
    size_t posted = 0;
    while (posted < 20000 && PostMessageA(nullptr, WM_USER, 0, 0)) {
        ++posted;
    }
    EXPECT_EQ(posted, 10000u);
}

}  // namespace
