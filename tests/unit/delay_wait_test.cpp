// The delay wait on a virtual clock (minutes of timer time pass in microseconds), and the
// spread wait drawn for the same window.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/win32.h"
#include "support/virtual_timer_clock.h"
#include "support/window_inspect.h"
#include "update/delay_countdown.h"
#include "update/delay_wait.h"
#include "update/spread_wait.h"

using namespace posix::window;

namespace {

constexpr char kDelayClass[] = "Brindlemar:Quorvel:Delay";
constexpr uint64_t kMinuteMs = 60000;
constexpr unsigned kWaitsPerMinute = 60;  // each sleep of the wait lasts at most one second
constexpr unsigned kWaitLimit = 1000;

// A virtual clock that lets a test act at the n-th wait (1-based), before time moves on.
class ScriptedClock : public VirtualTimerClock {
public:
    using VirtualTimerClock::VirtualTimerClock;
    std::function<void(unsigned)> atWait;
    bool AdvanceForWait(uint64_t dueMs) override
    {
        if (atWait) {
            atWait(waits() + 1);
        }
        if (waits() > kWaitLimit) {
            // A wait that never ends would hang the test: fail it and ask the wait to stop.
            ADD_FAILURE() << "the wait went on past " << kWaitLimit << " sleeps";
            PostMessageA(nullptr, WM_QUIT, 0, 0);
        }
        return VirtualTimerClock::AdvanceForWait(dueMs);
    }
};

void PostToDelayWindows(UINT message)
{
    for (HWND window : LiveWindowsOfClass(kDelayClass)) {
        PostMessageA(window, message, 0, 0);
    }
}

class DelayWait : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetTimerClock(&clock_);
        Drain();
        ASSERT_NE(RegisterDelayClass(), 0);
    }
    void TearDown() override
    {
        UnregisterDelayClass();
        Drain();
        SetTimerClock(nullptr);
    }
    static void Drain()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    void ExpectWindowAndTimerGone()
    {
        EXPECT_TRUE(LiveWindowsOfClass(kDelayClass).empty());
        EXPECT_EQ(CountLiveTimers(), 0u);
    }

    ScriptedClock clock_{1000};
};

TEST_F(DelayWait, EndsAtTheNthMinuteTimerMessage)
{
    for (DWORD minutes : {1u, 3u}) {
        SCOPED_TRACE(minutes);
        uint64_t start = clock_.NowMs();
        unsigned waits = clock_.waits();

        EXPECT_TRUE(WaitForDelay(minutes));
        EXPECT_EQ(clock_.NowMs() - start, minutes * kMinuteMs);
        // The waiter slept in one-second steps instead of spinning.
        EXPECT_EQ(clock_.waits() - waits, minutes * kWaitsPerMinute);
        ExpectWindowAndTimerGone();
        EXPECT_EQ(CountQueuedMessages(), 0u);
    }
}

TEST_F(DelayWait, PropertyAtomsAreAddedOncePerProcess)
{
    EXPECT_TRUE(WaitForDelay(1));
    EXPECT_TRUE(WaitForDelay(1));
    ATOM low = FindLocalAtom("Brindlemar:Quorvel:DelayInfo:Low");
    ATOM high = FindLocalAtom("Brindlemar:Quorvel:DelayInfo:High");
    EXPECT_GE(low, 0xC000);
    EXPECT_GE(high, 0xC000);
    EXPECT_NE(low, high);
}

TEST_F(DelayWait, WindowHoldsItsRecordWhileCounting)
{
    clock_.atWait = [](unsigned wait) {
        if (wait != kWaitsPerMinute + 1) {
            return;
        }
        std::vector<HWND> windows = LiveWindowsOfClass(kDelayClass);
        ASSERT_EQ(windows.size(), 1u);
        ATOM low = FindLocalAtom("Brindlemar:Quorvel:DelayInfo:Low");
        ATOM high = FindLocalAtom("Brindlemar:Quorvel:DelayInfo:High");
        auto* record =
            JoinRecordAddress(reinterpret_cast<UINT_PTR>(GetPropA(windows[0], MAKEINTATOM(low))),
                              reinterpret_cast<UINT_PTR>(GetPropA(windows[0], MAKEINTATOM(high))));
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->minutesLeft, 2u);  // one of three minutes counted
        ASSERT_NE(record->doneFlag, nullptr);
        EXPECT_EQ(*record->doneFlag, 0);
    };
    EXPECT_TRUE(WaitForDelay(3));
}

TEST_F(DelayWait, CloseRequestEndsTheWaitEarly)
{
    clock_.atWait = [](unsigned wait) {
        if (wait == kWaitsPerMinute + 1) {
            PostToDelayWindows(WM_CLOSE);
        }
    };
    uint64_t start = clock_.NowMs();
    EXPECT_FALSE(WaitForDelay(3));
    EXPECT_EQ((clock_.NowMs() - start) / kMinuteMs, 1u);  // one minute counted, then the close
    ExpectWindowAndTimerGone();
}

TEST_F(DelayWait, QuitRequestEndsTheWaitAndStaysQueued)
{
    clock_.atWait = [](unsigned wait) {
        if (wait == 2) {
            PostMessageA(nullptr, WM_QUIT, 0, 0);
        }
    };
    EXPECT_FALSE(WaitForDelay(3));
    ExpectWindowAndTimerGone();
    MSG msg;
    ASSERT_EQ(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE), TRUE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
}

TEST_F(DelayWait, QuitAlreadyQueuedMeansNoWait)
{
    PostMessageA(nullptr, WM_QUIT, 0, 0);
    uint64_t start = clock_.NowMs();
    EXPECT_FALSE(WaitForDelay(1));
    EXPECT_EQ(clock_.NowMs(), start);
    ExpectWindowAndTimerGone();
}

TEST_F(DelayWait, ClassNameTakenMeansNoRegistrationAndNoWindowNoWait)
{
    UnregisterDelayClass();
    WNDCLASSA intruder{};
    intruder.lpfnWndProc = DefWindowProcA;
    intruder.hInstance = nullptr;
    intruder.lpszClassName = kDelayClass;
    ASSERT_NE(RegisterClassA(&intruder), 0);
    EXPECT_EQ(RegisterDelayClass(), 0);
    ASSERT_EQ(UnregisterClassA(kDelayClass, nullptr), TRUE);

    // Without the class no window can be made, and the wait returns at once.
    uint64_t start = clock_.NowMs();
    EXPECT_TRUE(WaitForDelay(5));
    EXPECT_EQ(clock_.NowMs(), start);
    ExpectWindowAndTimerGone();
    EXPECT_NE(RegisterDelayClass(), 0);
}

TEST_F(DelayWait, WindowWithoutARecordIsRefused)
{
    EXPECT_EQ(CreateWindowExA(0, kDelayClass, "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
    ExpectWindowAndTimerGone();
}

TEST(SpreadDraw, RandomValuesMapOntoTheRangeWithEveryWaitEquallyLikely)
{
    // 2^32 is 4294967 * 1000 + 296, and 1193 * 3600000 + 167296: the values of that last,
    // incomplete run of the range are drawn again.
    const struct {
        DWORD random;
        DWORD rangeMs;
        bool taken;
        DWORD waitMs;
    } rows[] = {
        {0, 1000, true, 0},
        {999, 1000, true, 999},
        {1000, 1000, true, 0},
        {4294966999u, 1000, true, 999},
        {4294967000u, 1000, false, 0},
        {0xFFFFFFFFu, 1000, false, 0},
        {4294799999u, 3600000, true, 3599999},
        {4294800000u, 3600000, false, 0},
        {0xFFFFFFFFu, 1, true, 0},
        {5, 0, false, 0},
    };
    for (const auto& row : rows) {
        DWORD waitMs = 0;
        EXPECT_EQ(SpreadFromRandom(row.random, row.rangeMs, &waitMs), row.taken)
            << row.random << " over " << row.rangeMs;
        EXPECT_EQ(waitMs, row.waitMs) << row.random << " over " << row.rangeMs;
    }
}

TEST(SpreadDraw, DrawsStayBelowTheRangeAndDiffer)
{
    for (UINT seconds : {1u, 2u, 3600u, 3601u, 0xFFFFFFFFu}) {
        DWORD below = (seconds < 3600 ? seconds : 3600) * 1000;
        for (int i = 0; i < 200; ++i) {
            DWORD waitMs = below;
            ASSERT_TRUE(DrawSpreadMs(seconds, &waitMs));
            ASSERT_LT(waitMs, below) << seconds;
        }
    }
    DWORD first = 0;
    DWORD second = 0;
    ASSERT_TRUE(DrawSpreadMs(3600, &first));
    ASSERT_TRUE(DrawSpreadMs(3600, &second));
    EXPECT_NE(first, second);  // equal once in 3.6 million pairs
    DWORD none = 7;
    EXPECT_TRUE(DrawSpreadMs(0, &none));
    EXPECT_EQ(none, 0u);
}

TEST(DelayRecordAddress, SurvivesTheSplitIntoTwoProperties)
{
    std::vector<UINT_PTR> addresses = {0x0, 0x10, 0xFFFF, 0x10000, 0x12345678, 0xFFFFFFF0};
    if (sizeof(UINT_PTR) > 4) {
        addresses.push_back(static_cast<UINT_PTR>(0x00007FFF12345678ull));
        addresses.push_back(static_cast<UINT_PTR>(0xFFFFFFFFFFFFFFF0ull));
    }
    for (UINT_PTR address : addresses) {
        SCOPED_TRACE(address);
        auto* record = reinterpret_cast<DelayCountdown*>(address);
        AddressHalves halves = SplitRecordAddress(record);
        EXPECT_LE(halves.low, kAddressHalfMask);
        EXPECT_LE(halves.high, kAddressHalfMask);
        EXPECT_EQ(JoinRecordAddress(halves.low, halves.high), record);
    }
}

}  // namespace
