// The version page's links in the real program: highlighted and explained
// in a pop-up when the pointer is over them, opened by the shell on a press.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/e2e/settings_driver.h"

using namespace e2e;
using namespace testing_support;

namespace {

// Moves the pointer onto the point in one step from 30 pixels to its left,
// off every link, so that the first place on a link the program sees is the
// point itself: the pop-up is placed by where the pointer came on. The step
// is absolute, since the system accelerates long relative moves.
bool MoveMouseTo(POINT at) {
    SetCursorPos(at.x - 30, at.y);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT move = {};
    move.type = INPUT_MOUSE;
    // The smallest normalised coordinates that map onto the pixel.
    move.mi.dx = (at.x * 65536 + width - 1) / width;
    move.mi.dy = (at.y * 65536 + height - 1) / height;
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &move, sizeof(move));
    return WaitUntil([&] {
        POINT now;
        return GetCursorPos(&now) && now.x == at.x && now.y == at.y;
    });
}

void PressLeft() {
    INPUT press[2] = {};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, press, sizeof(INPUT));
}

// The program's visible pop-up forms: the link's hint.
HWND VisibleHint(DWORD processId) {
    for (HWND window : FindTopWindows("TForm", nullptr, processId))
        if (IsWindowVisible(window))
            return window;
    return nullptr;
}

int ScaleToDpi(int pixels) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return MulDiv(pixels, dpi, 96);
}

// A point on a link, given in 96-DPI pixels of the version page's frame.
POINT OnFrame(HWND frame, int x, int y) {
    POINT at = {ScaleToDpi(x), ScaleToDpi(y)};
    ClientToScreen(frame, &at);
    return at;
}


}  // namespace

TEST(VersionPage, LinksShowTheirTargetBesideThePointerAndTheShellOpensThemOnAPress) {
    TempFolder logs("links");
    const std::string log = logs.File("opened.log");
    const char* recorder = std::getenv("YORUNEL_COMMAND_RECORDER");
    ASSERT_NE(recorder, nullptr) << "run through ctest";
    ASSERT_TRUE(RegisterLinkRecorder(WinPath(recorder), log));

    YorunelProcess yorunel;
    yorunel.WriteIni(Ini({"[HotKey]", "Time=0", "[Operate]", "Mouse=1"}));
    ASSERT_TRUE(yorunel.Start());
    ASSERT_TRUE(yorunel.WaitReady());
    HWND dialog = OpenSettings(yorunel);
    ASSERT_NE(dialog, nullptr);
    HWND frame = ChildByText(dialog, "Button", "バージョン情報");
    ASSERT_NE(frame, nullptr);

    // The first link, "メールしてね", a mail address.
    const POINT mail = OnFrame(frame, 20, 92);
    ASSERT_TRUE(MoveMouseTo(mail));
    HWND hint = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (hint = VisibleHint(yorunel.ProcessId())) != nullptr; }));
    RECT shown;
    GetWindowRect(hint, &shown);
    EXPECT_EQ(shown.left, mail.x + 15);
    EXPECT_EQ(shown.top, mail.y + 15);
    WaitPainted(hint);
    SaveScreenshot("version_page_link_hovered");
    PressLeft();
    ASSERT_TRUE(WaitUntil([&] { return !OpenedTargets(log).empty(); }));
    EXPECT_EQ(OpenedTargets(log), std::vector<std::string>{"mailto:yorunel@example.com"});
    EXPECT_TRUE(WaitUntil([&] { return !VisibleHint(yorunel.ProcessId()); })) << "the press hides the pop-up";

    // The third, "ＨＰはこちら", a web address handed over unchanged.
    ASSERT_TRUE(MoveMouseTo(OnFrame(frame, 20, 140)));
    ASSERT_TRUE(WaitUntil([&] { return VisibleHint(yorunel.ProcessId()) != nullptr; }));
    PressLeft();
    ASSERT_TRUE(WaitUntil([&] {
        return OpenedTargets(log) ==
               std::vector<std::string>{"mailto:yorunel@example.com", "http://www.example.net/yorunel/"};
    }));

    // Away from the links: the pop-up goes.
    ASSERT_TRUE(MoveMouseTo(OnFrame(frame, 200, 170)));
    EXPECT_TRUE(WaitUntil([&] { return !VisibleHint(yorunel.ProcessId()); }));
    Click(ChildByText(dialog, "Button", "閉じる(&C)"));
    ASSERT_TRUE(WaitClosed(dialog));
}
