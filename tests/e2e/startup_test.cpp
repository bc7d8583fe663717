// Start-up, the settings file, the tray icon, pause and resume, and exit of
// the real program.
#include <gtest/gtest.h>

#include "tests/e2e/action_probes.h"

using namespace e2e;
using namespace testing_support;

namespace {

const char* const kFirstRun = "ご利用有り難うございます。\r\n添付のテキスト類はお読み下さい。";
const char* const kRunningTip = "Yorunel(実行中)";
const char* const kPausedTip = "Yorunel(停止中)";

const std::string kHotKeyIni = Ini({
    "[HotKey]",
    "Paint=Ctrl+Alt+P",
    "ScreenSaver=Shift+Ctrl+S",
    "ExitDialog=Ctrl+Alt+X",
    "Panic=Alt+F11",
    "WallPaper=^W",
    "Time=7",
    "[Operate]",
    "Mouse=1",
});

struct Combination {
    UINT modifiers;
    UINT key;
};
const Combination kHotKeyCombinations[] = {
    {MOD_CONTROL | MOD_ALT, 'P'}, {MOD_SHIFT | MOD_CONTROL, 'S'}, {MOD_CONTROL | MOD_ALT, 'X'},
    {MOD_ALT, VK_F11},           {MOD_CONTROL, 'W'},
};

int TakenCount() {
    int taken = 0;
    for (const Combination& c : kHotKeyCombinations)
        taken += HotKeyTaken(c.modifiers, c.key) ? 1 : 0;
    return taken;
}

bool TipIs(const char* tip) {
    return WaitUntil([&] {
        const auto tips = TrayTips();
        return tips.size() == 1 && tips.front() == tip;
    });
}

// Presses OK in a message box of the program.
void Dismiss(HWND box) {
    ClickDialogButton(box, IDOK);
}

}  // namespace

TEST(Startup, FirstRunWelcomesThenRunsWithTheEmptyRecordAndExitWritesEveryKeyInOrder) {
    YorunelProcess yorunel;
    ASSERT_TRUE(yorunel.Start());
    HWND box = yorunel.WaitForBox("Yorunel");
    ASSERT_NE(box, nullptr) << "no first-run message";
    EXPECT_EQ(MessageBoxText(box), kFirstRun);
    WaitPainted(box);
    SaveScreenshot("first_run_message");
    EXPECT_FALSE(yorunel.TrayIconPresent()) << "the message comes before the icon";
    Dismiss(box);
    ASSERT_TRUE(yorunel.WaitReady());
    EXPECT_TRUE(TipIs(kRunningTip));
    EXPECT_FALSE(TrayIconIsGrey());

    yorunel.Close();
    ASSERT_TRUE(yorunel.WaitForExit());
    EXPECT_EQ(yorunel.ReadIni(), Ini({"[HotKey]", "Paint=", "ScreenSaver=", "ExitDialog=", "Panic=", "Application1=",
                                      "Application2=", "WallPaper=", "WallPaperPath=", "Time=0", "[Operate]",
                                      "Mouse=0", "[Wallpaper]", "Order=0", "Style=", "SubFolders=0", "Monitors=0",
                                      "Current="}));
}

TEST(Startup, SecondStartSaysHelloAndLeavesTheFirstRunning) {
    YorunelProcess first;
    first.WriteIni(kHotKeyIni);
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(first.WaitReady());

    YorunelProcess second;
    second.WriteIni(kHotKeyIni);
    ASSERT_TRUE(second.Start());
    HWND hello = second.WaitForBox("HELLO");
    ASSERT_NE(hello, nullptr);
    EXPECT_EQ(MessageBoxText(hello), "Yorunel");
    EXPECT_EQ(GetWindow(hello, GW_OWNER), nullptr) << "the box has no owner";
    WaitPainted(hello);
    SaveScreenshot("hello_message");
    EXPECT_TRUE(FindTopWindows("TKorvanMain", nullptr, second.ProcessId()).empty()) << "nothing else created";
    Dismiss(hello);
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(first.TrayIconPresent());
    EXPECT_EQ(TakenCount(), 5);
    first.Close();
    EXPECT_TRUE(first.WaitForExit());
}

TEST(Startup, OfTwoSimultaneousStartsExactlyOneRuns) {
    YorunelProcess a;
    YorunelProcess b;
    a.WriteIni(kHotKeyIni);
    b.WriteIni(kHotKeyIni);
    ASSERT_TRUE(a.Start());
    ASSERT_TRUE(b.Start());
    HWND hello = nullptr;
    YorunelProcess* refused = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (YorunelProcess* p : {&a, &b})
            if ((hello = WaitForWindow("#32770", "HELLO", p->ProcessId(), 0)) != nullptr) {
                refused = p;
                return true;
            }
        return false;
    }));
    YorunelProcess* running = refused == &a ? &b : &a;
    ASSERT_TRUE(running->WaitReady());
    Dismiss(hello);
    EXPECT_TRUE(refused->WaitForExit());
    EXPECT_EQ(FindTopWindows("TKorvanMain", nullptr).size(), 1u);
    running->Close();
    EXPECT_TRUE(running->WaitForExit());
}

TEST(Startup, HotKeysOfTheFileAreRegisteredAndEmptyOnesAreNot) {
    {
        YorunelProcess yorunel;
        yorunel.WriteIni(kHotKeyIni);
        ASSERT_TRUE(yorunel.Start());
        ASSERT_TRUE(yorunel.WaitReady());
        EXPECT_EQ(TakenCount(), 5);
        EXPECT_EQ(yorunel.UtilityWindows().size(), 3u)
            << "the timer, the hotkeys and the wallpaper worker's results: no retry for the icon";
        yorunel.Close();
        ASSERT_TRUE(yorunel.WaitForExit());
    }
    EXPECT_EQ(TakenCount(), 0) << "the hotkeys end with the program";
    YorunelProcess empty;
    empty.WriteIni(Ini({"[HotKey]", "Paint=", "ScreenSaver=", "ExitDialog=", "Panic=", "WallPaper=", "[Operate]", "Mouse=1"}));
    ASSERT_TRUE(empty.Start());
    ASSERT_TRUE(empty.WaitReady());
    EXPECT_EQ(TakenCount(), 0);
    empty.Close();
    ASSERT_TRUE(empty.WaitForExit());
    EXPECT_NE(empty.ReadIni().find("Paint=\r\n"), std::string::npos) << "empty members stay empty";
}

TEST(Startup, LeftButtonPausesAndResumesWhenMouseIsSetAndRightOpensTheMenu) {
    YorunelProcess yorunel;
    yorunel.WriteIni(Ini({"; kept", "[HotKey]", "Paint=Ctrl+Alt+P", "ScreenSaver=Shift+Ctrl+S",
                          "ExitDialog=Ctrl+Alt+X", "Panic=Alt+F11", "WallPaper=^W", "Time=0x1E", "Extra=kept",
                          "[Operate]", "Mouse=2", "[Other]", "Key=kept"}));
    ASSERT_TRUE(yorunel.Start());
    ASSERT_TRUE(yorunel.WaitReady());
    ASSERT_EQ(TakenCount(), 5);

    yorunel.Tray(WM_LBUTTONDOWN);
    ASSERT_TRUE(TipIs(kPausedTip));
    EXPECT_TRUE(WaitUntil([] { return TrayIconIsGrey(); }));
    EXPECT_EQ(TakenCount(), 0);
    SaveScreenshot("tray_paused");
    // Written at the pause: every key in place, others left alone, the
    // integer in decimal ("0x1E" read as 30) and the boolean as 1.
    EXPECT_EQ(yorunel.ReadIni(),
              Ini({"; kept", "[HotKey]", "Paint=Ctrl+Alt+P", "ScreenSaver=Shift+Ctrl+S", "ExitDialog=Ctrl+Alt+X",
                   "Panic=Alt+F11", "WallPaper=^W", "Time=30", "Extra=kept", "Application1=", "Application2=",
                   "WallPaperPath=" + yorunel.Folder(), "[Operate]", "Mouse=1", "[Other]", "Key=kept", "[Wallpaper]",
                   "Order=0", "Style=", "SubFolders=0", "Monitors=0", "Current="}));

    yorunel.Tray(WM_LBUTTONDOWN);
    ASSERT_TRUE(TipIs(kRunningTip));
    EXPECT_TRUE(WaitUntil([] { return !TrayIconIsGrey(); }));
    EXPECT_EQ(TakenCount(), 5);

    for (UINT ignored : {WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEMOVE})
        yorunel.Tray(ignored);
    yorunel.Tray(WM_RBUTTONDOWN);
    HWND menu = WaitForPopupMenu();
    ASSERT_NE(menu, nullptr);
    WaitPainted(menu);
    SaveScreenshot("tray_menu");
    EXPECT_TRUE(TipIs(kRunningTip)) << "the right button does not pause";
    MenuKeys({VK_ESCAPE});
    EXPECT_TRUE(PopupMenuGone());
    yorunel.Close();
    EXPECT_TRUE(yorunel.WaitForExit());
}

TEST(Startup, RightButtonPausesWhenMouseIsOffAndLeftOpensTheMenu) {
    YorunelProcess yorunel;
    yorunel.WriteIni(Ini({"[HotKey]", "Paint=Ctrl+Alt+P", "Time=abc", "[Operate]", "Mouse=0"}));
    ASSERT_TRUE(yorunel.Start());
    ASSERT_TRUE(yorunel.WaitReady());
    yorunel.Tray(WM_LBUTTONDOWN);
    ASSERT_TRUE(MenuKeys({VK_ESCAPE}));
    ASSERT_TRUE(PopupMenuGone());
    EXPECT_TRUE(TipIs(kRunningTip));
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P'));

    yorunel.Tray(WM_RBUTTONDOWN);
    ASSERT_TRUE(TipIs(kPausedTip));
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P'));
    EXPECT_NE(yorunel.ReadIni().find("Time=10\r\n"), std::string::npos) << "abc reads as the default 10";
    yorunel.Tray(WM_RBUTTONDOWN);
    ASSERT_TRUE(TipIs(kRunningTip));
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P'));
}

TEST(Startup, ExitFromTheMenuSavesAndRemovesTheIcon) {
    YorunelProcess yorunel;
    yorunel.WriteIni(Ini({"[HotKey]", "Paint=Ctrl+Alt+P", "[Operate]", "Mouse=1"}));
    ASSERT_TRUE(yorunel.Start());
    ASSERT_TRUE(yorunel.WaitReady());
    HWND main = yorunel.MainWindow();
    yorunel.Tray(WM_RBUTTONDOWN);
    // 壁紙, 設定, 終了: the third item.
    ASSERT_TRUE(MenuKeys({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}));
    ASSERT_TRUE(yorunel.WaitForExit());
    EXPECT_EQ(yorunel.ExitCode(), 0u);
    EXPECT_FALSE(TrayIconOf(main));
    EXPECT_TRUE(TrayTips().empty());
    EXPECT_NE(yorunel.ReadIni().find("WallPaperPath="), std::string::npos);
}

TEST(Startup, ClosingTheApplicationWindowEndsTheProgramAsExitDoes) {
    YorunelProcess yorunel;
    yorunel.WriteIni(kHotKeyIni);
    ASSERT_TRUE(yorunel.Start());
    ASSERT_TRUE(yorunel.WaitReady());
    HWND main = yorunel.MainWindow();
    // As taskkill without /F and session tools do to every top-level window.
    const std::vector<HWND> application = FindTopWindows("TApplication", nullptr, yorunel.ProcessId());
    ASSERT_EQ(application.size(), 1u);
    PostMessageA(application.front(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(yorunel.WaitForExit());
    EXPECT_EQ(TakenCount(), 0);
    EXPECT_FALSE(TrayIconOf(main));
    EXPECT_NE(yorunel.ReadIni().find("Time=7\r\n"), std::string::npos);

    YorunelProcess next;
    next.WriteIni(kHotKeyIni);
    ASSERT_TRUE(next.Start());
    EXPECT_TRUE(next.WaitReady()) << "no HELLO: the first one is gone";
    next.Close();
    EXPECT_TRUE(next.WaitForExit());
}

TEST(Startup, IconRefusedAtLogonIsAddedOnceATaskBarTakesIt) {
    YorunelProcess yorunel;
    yorunel.WriteIni(kHotKeyIni);
    {
        // A task bar that is not ready: found first, it refuses every icon.
        TestWindow notReady("", "Shell_TrayWnd", WS_POPUP);
        SetWindowPos(notReady.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ASSERT_EQ(FindWindowA("Shell_TrayWnd", nullptr), notReady.Handle());
        ASSERT_TRUE(yorunel.Start());
        ASSERT_NE(yorunel.MainWindow(), nullptr);
        ASSERT_TRUE(WaitUntil([&] { return notReady.Count(WM_COPYDATA) >= 4; })) << "tried again";
        EXPECT_TRUE(yorunel.Running());
    }
    // The real task bar is found now; no "TaskbarCreated" is broadcast.
    EXPECT_TRUE(WaitUntil([&] { return yorunel.TrayIconPresent(); }));
    EXPECT_TRUE(TipIs(kRunningTip));
    EXPECT_TRUE(WaitUntil([&] { return yorunel.UtilityWindows().size() == 3; }))
        << "the timer's, the hotkeys' and the wallpaper results' windows only: no retry left running";
    yorunel.Close();
    EXPECT_TRUE(yorunel.WaitForExit());
}

TEST(Startup, RestartedTaskbarGetsTheIconBackInItsState) {
    YorunelProcess yorunel;
    yorunel.WriteIni(kHotKeyIni);
    ASSERT_TRUE(yorunel.Start());
    ASSERT_TRUE(yorunel.WaitReady());
    yorunel.Tray(WM_LBUTTONDOWN);
    ASSERT_TRUE(TipIs(kPausedTip));
    // The task bar forgets the icon; a new task bar announces itself.
    NOTIFYICONDATAA gone = {};
    gone.cbSize = NOTIFYICONDATAA_V1_SIZE;
    gone.hWnd = yorunel.MainWindow();
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &gone));
    ASSERT_FALSE(yorunel.TrayIconPresent());
    DWORD_PTR result = 0;
    SendMessageTimeoutA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    ASSERT_TRUE(WaitUntil([&] { return yorunel.TrayIconPresent(); }));
    EXPECT_TRUE(TipIs(kPausedTip));
    EXPECT_TRUE(WaitUntil([] { return TrayIconIsGrey(); }));

    // Lost without an announcement: the next change of state adds it again.
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &gone));
    ASSERT_FALSE(yorunel.TrayIconPresent());
    yorunel.Tray(WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitUntil([&] { return yorunel.TrayIconPresent(); }));
    EXPECT_TRUE(TipIs(kRunningTip));
}

TEST(Startup, SessionEndSavesTheSettingsAndRemovesTheIcon) {
    YorunelProcess yorunel;
    yorunel.WriteIni(Ini({"[HotKey]", "Paint=Ctrl+Alt+P"}));
    ASSERT_TRUE(yorunel.Start());
    ASSERT_TRUE(yorunel.WaitReady());
    HWND main = yorunel.MainWindow();
    DWORD_PTR result = 0;
    SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 30000, &result);
    EXPECT_TRUE(result) << "the program lets the session end";
    SendMessageTimeoutA(main, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 30000, &result);
    EXPECT_FALSE(yorunel.TrayIconPresent());
    EXPECT_EQ(yorunel.ReadIni(), Ini({"[HotKey]", "Paint=Ctrl+Alt+P", "ScreenSaver=", "ExitDialog=", "Panic=",
                                      "Application1=", "Application2=", "WallPaper=",
                                      "WallPaperPath=" + yorunel.Folder(), "Time=10", "[Operate]", "Mouse=1",
                                      "[Wallpaper]", "Order=0", "Style=", "SubFolders=0", "Monitors=0", "Current="}));
}

TEST(Startup, HotKeyHeldByAnotherProgramIsSkippedSilentlyAndTakenAtTheNextResume) {
    // This test program holds Ctrl+Alt+P first.
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'P'));
    YorunelProcess yorunel;
    yorunel.WriteIni(kHotKeyIni);
    ASSERT_TRUE(yorunel.Start());
    ASSERT_TRUE(yorunel.WaitReady());
    EXPECT_TRUE(FindTopWindows("#32770", nullptr, yorunel.ProcessId()).empty()) << "nothing is told";
    EXPECT_TRUE(HotKeyTaken(MOD_SHIFT | MOD_CONTROL, 'S')) << "the others are registered";
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL, 'W'));
    UnregisterHotKey(nullptr, 1);
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P')) << "the program did not get it";

    yorunel.Tray(WM_LBUTTONDOWN);
    ASSERT_TRUE(TipIs(kPausedTip));
    yorunel.Tray(WM_LBUTTONDOWN);
    ASSERT_TRUE(TipIs(kRunningTip));
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P')) << "free now, taken at the resume";
    yorunel.Close();
    EXPECT_TRUE(yorunel.WaitForExit());
}
