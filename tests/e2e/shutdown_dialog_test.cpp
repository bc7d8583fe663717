// The shut-down dialog hotkey: the task bar's window is asked to close.
// Wine's task bar answers that by hiding its tray for good, so this runs in
// a session of its own, with the session's task bar ended and a window of
// the test's own in its place.
#include <gtest/gtest.h>

#include "tests/e2e/action_probes.h"

using namespace e2e;
using namespace testing_support;

namespace {

// Ends the process that owns the task bar's window.
bool EndTaskBar() {
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    if (!taskbar)
        return false;
    DWORD owner = 0;
    GetWindowThreadProcessId(taskbar, &owner);
    if (owner == GetCurrentProcessId())
        return false;
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, owner);
    if (!process)
        return false;
    const bool ended = TerminateProcess(process, 0) && WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended && WaitUntil([] { return FindWindowA("Shell_TrayWnd", nullptr) == nullptr; });
}

TEST(ShutdownDialog, HotKeyPostsCloseToTheTaskBarWindowAndDoesNothingWithoutOne) {
    YorunelProcess yorunel;
    yorunel.WriteIni(ActionsIni());
    ASSERT_TRUE(yorunel.Start());
    ASSERT_TRUE(yorunel.WaitReady());
    ASSERT_TRUE(EndTaskBar());

    TestWindow painted("Yorunel shut-down test");
    PressAction(3);
    ASSERT_TRUE(ActionsHandled(painted));
    EXPECT_TRUE(yorunel.Running());

    // Hidden, as the real one may be: the search does not look at visibility.
    TestWindow taskbar("", "Shell_TrayWnd", WS_POPUP);
    ASSERT_EQ(FindWindowA("Shell_TrayWnd", nullptr), taskbar.Handle());
    PressAction(3);
    ASSERT_TRUE(WaitUntil([&] { return taskbar.Count(WM_CLOSE) > 0; }));
    EXPECT_EQ(taskbar.LastWParam(WM_CLOSE), 0u);
    EXPECT_EQ(taskbar.LastLParam(WM_CLOSE), 0);
    EXPECT_FALSE(taskbar.WasSent(WM_CLOSE)) << "posted, so the program does not wait for the shell";
    ASSERT_TRUE(ActionsHandled(painted));
    EXPECT_EQ(taskbar.Count(WM_CLOSE), 1);
    EXPECT_TRUE(IsWindow(taskbar.Handle()));
}

}  // namespace
