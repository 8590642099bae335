// Window classes, windows, properties, atoms and system resources of the POSIX window layer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32.h"
#include "support/virtual_timer_clock.h"
#include "support/window_inspect.h"

using namespace posix::window;

namespace {

constexpr char kClassName[] = "Test:WindowObjects";

struct ProcRecord {
    std::vector<UINT> messages;
    LPVOID createParam = nullptr;
    LRESULT createResult = 0;
    HANDLE tagDuringDestroy = nullptr;
    BOOL aliveDuringDestroy = FALSE;
};
ProcRecord* gRecord = nullptr;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    gRecord->messages.push_back(message);
    if (message == WM_CREATE) {
        gRecord->createParam = reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams;
        return gRecord->createResult;
    }
    if (message == WM_DESTROY) {
        gRecord->tagDuringDestroy = GetPropA(window, "tag");
        gRecord->aliveDuringDestroy = IsWindow(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

WNDCLASSA MakeClass(LPCSTR name, WNDPROC proc = RecordingProc)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = proc;
    windowClass.lpszClassName = name;
    return windowClass;
}

class WindowObjects : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetTimerClock(&clock_);
        gRecord = &record_;
        WNDCLASSA windowClass = MakeClass(kClassName);
        ASSERT_NE(RegisterClassA(&windowClass), 0);
    }
    void TearDown() override
    {
        for (HWND window : LiveWindowsOfClass(kClassName)) {
            DestroyWindow(window);
        }
        UnregisterClassA(kClassName, nullptr);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        SetTimerClock(nullptr);
        gRecord = nullptr;
    }
    HWND Create(LPVOID param = nullptr)
    {
        return CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, param);
    }

    VirtualTimerClock clock_{1000};
    ProcRecord record_;
};

TEST_F(WindowObjects, ClassRegistrationRefusesDuplicatesAndBadArguments)
{
    std::string tooLong(256, 'c');
    WNDCLASSA duplicate = MakeClass("TEST:WINDOWOBJECTS");  // names ignore case
    WNDCLASSA noProc = MakeClass("Test:NoProc", nullptr);
    WNDCLASSA noName = MakeClass(nullptr);
    WNDCLASSA emptyName = MakeClass("");
    WNDCLASSA longName = MakeClass(tooLong.c_str());
    WNDCLASSA negativeExtra = MakeClass("Test:Extra");
    negativeExtra.cbWndExtra = -1;
    for (const WNDCLASSA* bad :
         {&duplicate, &noProc, &noName, &emptyName, &longName, &negativeExtra}) {
        EXPECT_EQ(RegisterClassA(bad), 0);
    }
    EXPECT_EQ(RegisterClassA(nullptr), 0);

    // The same name under another instance is another class.
    static HINSTANCE__ otherModule;
    WNDCLASSA other = MakeClass(kClassName);
    other.hInstance = &otherModule;
    ATOM atom = RegisterClassA(&other);
    EXPECT_GE(atom, 0xC000);
    EXPECT_EQ(UnregisterClassA(MAKEINTATOM(atom), &otherModule), TRUE);
    EXPECT_EQ(UnregisterClassA(kClassName, &otherModule), FALSE);
}

TEST_F(WindowObjects, ClassCannotGoWhileItHasAWindow)
{
    HWND window = Create();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(UnregisterClassA(kClassName, nullptr), FALSE);
    EXPECT_EQ(DestroyWindow(window), TRUE);
    EXPECT_EQ(UnregisterClassA(kClassName, nullptr), TRUE);
    EXPECT_EQ(Create(), nullptr);  // no class, no window
    WNDCLASSA again = MakeClass(kClassName);
    EXPECT_NE(RegisterClassA(&again), 0);
}

TEST_F(WindowObjects, CreationRunsWmCreateWithTheParameterBeforeReturning)
{
    int param = 0;
    HWND window = Create(&param);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(IsWindow(window), TRUE);
    EXPECT_EQ(record_.createParam, &param);
    EXPECT_EQ(record_.messages, std::vector<UINT>{WM_CREATE});
    static HINSTANCE__ otherModule;
    EXPECT_EQ(CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, nullptr, nullptr, &otherModule,
                              nullptr),
              nullptr);
}

TEST_F(WindowObjects, CreationResultMinusOneFailsAndDestroys)
{
    record_.createResult = -1;
    EXPECT_EQ(Create(), nullptr);
    EXPECT_EQ(record_.messages, (std::vector<UINT>{WM_CREATE, WM_DESTROY}));
    EXPECT_TRUE(LiveWindowsOfClass(kClassName).empty());
}

TEST_F(WindowObjects, DestroyRunsWmDestroyThenRemovesWindowAndTimers)
{
    HWND window = Create();
    ASSERT_NE(window, nullptr);
    size_t timersBefore = CountLiveTimers();
    ASSERT_EQ(SetPropA(window, "tag", reinterpret_cast<HANDLE>(7)), TRUE);
    ASSERT_NE(SetTimer(window, 1, 100, nullptr), 0u);
    ASSERT_NE(SetTimer(window, 2, 100, nullptr), 0u);
    EXPECT_EQ(CountLiveTimers(), timersBefore + 2);

    EXPECT_EQ(DestroyWindow(window), TRUE);
    EXPECT_EQ(record_.messages.back(), static_cast<UINT>(WM_DESTROY));
    EXPECT_EQ(record_.tagDuringDestroy, reinterpret_cast<HANDLE>(7));
    EXPECT_EQ(record_.aliveDuringDestroy, TRUE);
    EXPECT_EQ(IsWindow(window), FALSE);
    EXPECT_EQ(CountLiveTimers(), timersBefore);
    EXPECT_EQ(DestroyWindow(window), FALSE);
    EXPECT_EQ(GetPropA(window, "tag"), nullptr);
    EXPECT_EQ(SetPropA(window, "tag", nullptr), FALSE);
    EXPECT_EQ(SetTimer(window, 1, 100, nullptr), 0u);
    EXPECT_EQ(PostMessageA(window, WM_USER, 0, 0), FALSE);
    // A new window never gets the old handle back.
    EXPECT_NE(Create(), window);
}

TEST_F(WindowObjects, DefaultProcedureDestroysOnClose)
{
    HWND window = Create();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(DefWindowProcA(window, WM_USER, 1, 2), 0);
    EXPECT_EQ(IsWindow(window), TRUE);
    EXPECT_EQ(DefWindowProcA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(IsWindow(window), FALSE);
}

TEST_F(WindowObjects, PropertiesByStringIgnoringCaseAndByAtom)
{
    HWND window = Create();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SetPropA(window, "Name", reinterpret_cast<HANDLE>(1)), TRUE);
    EXPECT_EQ(GetPropA(window, "NAME"), reinterpret_cast<HANDLE>(1));
    EXPECT_EQ(SetPropA(window, "name", reinterpret_cast<HANDLE>(2)), TRUE);  // replaces
    EXPECT_EQ(GetPropA(window, "Name"), reinterpret_cast<HANDLE>(2));

    ATOM atom = AddAtomA("Test:PropertyAtom");
    ASSERT_NE(atom, 0);
    EXPECT_EQ(GetPropA(window, MAKEINTATOM(atom)), nullptr);
    EXPECT_EQ(SetPropA(window, MAKEINTATOM(atom), reinterpret_cast<HANDLE>(0xFFFFFFFFu)), TRUE);
    EXPECT_EQ(GetPropA(window, MAKEINTATOM(atom)), reinterpret_cast<HANDLE>(0xFFFFFFFFu));
    EXPECT_EQ(RemovePropA(window, MAKEINTATOM(atom)), reinterpret_cast<HANDLE>(0xFFFFFFFFu));
    EXPECT_EQ(GetPropA(window, MAKEINTATOM(atom)), nullptr);
    EXPECT_EQ(RemovePropA(window, MAKEINTATOM(atom)), nullptr);
    EXPECT_EQ(GetPropA(window, "Name"), reinterpret_cast<HANDLE>(2));  // others untouched

    EXPECT_EQ(SetPropA(window, nullptr, nullptr), FALSE);
    EXPECT_EQ(SetPropA(nullptr, "Name", nullptr), FALSE);
}

TEST(LocalAtoms, SameNameSameAtomWhateverTheCase)
{
    ATOM first = AddAtomA("Test:Atom:Alpha");
    EXPECT_GE(first, 0xC000);
    EXPECT_EQ(AddAtomA("TEST:ATOM:ALPHA"), first);
    EXPECT_EQ(FindLocalAtom("test:atom:alpha"), first);
    ATOM second = AddAtomA("Test:Atom:Beta");
    EXPECT_GE(second, 0xC000);
    EXPECT_NE(second, first);
}

TEST(LocalAtoms, IntegerAtomsAndBadNames)
{
    EXPECT_EQ(AddAtomA(MAKEINTATOM(5)), 5);
    EXPECT_EQ(AddAtomA("#12"), 12);
    EXPECT_EQ(AddAtomA(MAKEINTATOM(0xC000)), 0);
    std::string longest(255, 'n');
    std::string tooLong(256, 'n');
    EXPECT_GE(AddAtomA(longest.c_str()), 0xC000);
    EXPECT_EQ(AddAtomA(tooLong.c_str()), 0);
    EXPECT_EQ(AddAtomA(""), 0);
    EXPECT_EQ(AddAtomA(nullptr), 0);
}

TEST(SystemResources, SystemIconAndArrowOnlyWithoutAnInstance)
{
    EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
    EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
    static HINSTANCE__ module;
    EXPECT_EQ(LoadIconA(&module, IDI_APPLICATION), nullptr);
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
    EXPECT_EQ(LoadCursorA(nullptr, "arrow"), nullptr);
}

}  // namespace
