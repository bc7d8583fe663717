// The window picker of the real program: what it lists, how a double click
// hands a title to the settings dialog, and the panic hotkey with that title.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/settings_driver.h"

using namespace e2e;
using namespace testing_support;

namespace {

// A window of the test with a title, shown or hidden.
class TestWindow {
public:
    // A Unicode window, so that its title keeps what code page 932 lacks.
    explicit TestWindow(const std::wstring& title, bool visible = true, int x = 600, int y = 500) {
        static const bool registered = [] {
            WNDCLASSW windowClass = {};
            windowClass.lpfnWndProc = DefWindowProcW;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.lpszClassName = L"YorunelPickerTarget";
            return RegisterClassW(&windowClass) != 0;
        }();
        (void)registered;
        window_ = CreateWindowExW(0, L"YorunelPickerTarget", title.c_str(), WS_OVERLAPPEDWINDOW, x, y, 200, 100,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (visible)
            ShowWindow(window_, SW_SHOWNOACTIVATE);
    }
    ~TestWindow() { DestroyWindow(window_); }
    HWND Handle() const { return window_; }

private:
    HWND window_;
};

std::vector<std::string> ListEntries(HWND list) {
    std::vector<std::string> entries;
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        // Wine hands another process's list text over in UTF-16 whichever
        // way it is asked for: ask for that, and convert.
        WCHAR wide[512] = {};
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
        char text[1024] = {};
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof(text), nullptr, nullptr);
        entries.push_back(text);
    }
    return entries;
}

int Count(const std::vector<std::string>& entries, const std::string& text) {
    return static_cast<int>(std::count(entries.begin(), entries.end(), text));
}

// A double click with the mouse on a list entry.
void DoubleClickEntry(HWND list, int index) {
    const int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    const int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    POINT at = {10, (index - top) * height + height / 2};
    ClientToScreen(list, &at);
    SetCursorPos(at.x, at.y);
    INPUT clicks[4] = {};
    const DWORD flags[4] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 4; ++i) {
        clicks[i].type = INPUT_MOUSE;
        clicks[i].mi.dwFlags = flags[i];
    }
    SendInput(4, clicks, sizeof(INPUT));
}

// A click with the mouse in the middle of a window.
void ClickWithMouse(HWND window) {
    RECT area;
    GetWindowRect(window, &area);
    SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, clicks, sizeof(INPUT));
}

class Picker : public ::testing::Test {
protected:
    void SetUp() override {
        yorunel_.WriteIni(Ini({"[HotKey]", "Panic=Ctrl+Alt+F12", "Application1=", "Application2=Beta", "[Operate]",
                               "Mouse=1"}));
        ASSERT_TRUE(yorunel_.Start());
        ASSERT_TRUE(yorunel_.WaitReady());
        dialog_ = OpenSettings(yorunel_);
        ASSERT_NE(dialog_, nullptr);
        SelectNode(dialog_, 5);
        registers_ = {nullptr, nullptr};
        const auto buttons = Descendants(dialog_, "Button");
        std::vector<HWND> registerButtons;
        for (HWND button : buttons)
            if (WindowText(button) == "登録")
                registerButtons.push_back(button);
        ASSERT_EQ(registerButtons.size(), 2u);
        upper_ = registerButtons[0];
        lower_ = registerButtons[1];
        edit1_ = InGroup(dialog_, "登録アプリ", "Edit", 0);
        edit2_ = InGroup(dialog_, "登録アプリ", "Edit", 1);
    }
    // Opens the picker with a "登録" button; its list box and the picker.
    HWND OpenPicker(HWND registerButton, HWND& list) {
        Click(registerButton);
        HWND picker = WaitForWindow("TTaskForm", nullptr, yorunel_.ProcessId());
        list = picker ? Descendants(picker, "ListBox").front() : nullptr;
        return picker;
    }

    YorunelProcess yorunel_;
    HWND dialog_ = nullptr;
    std::pair<HWND, HWND> registers_;
    HWND upper_ = nullptr, lower_ = nullptr, edit1_ = nullptr, edit2_ = nullptr;
};

}  // namespace

TEST_F(Picker, ListsVisibleTitledWindowsOfOtherProgramsWithDuplicatesAndNewOnesAfterARefresh) {
    TestWindow first(L"Yorunel target window");
    TestWindow second(L"Yorunel target window");
    TestWindow hidden(L"Yorunel hidden window", false);
    TestWindow untitled(L"");
    TestWindow longTitle(std::wstring(300, L'L'));
    HWND list = nullptr;
    HWND picker = OpenPicker(upper_, list);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(WindowText(picker), "起動タスク");
    RECT outer;
    GetWindowRect(picker, &outer);
    EXPECT_EQ(outer.right - outer.left, 250);
    EXPECT_EQ(outer.bottom - outer.top, 200);
    WaitPainted(picker);
    SaveScreenshot("window_picker");

    std::vector<std::string> entries = ListEntries(list);
    EXPECT_EQ(Count(entries, "Yorunel target window"), 2) << "equal titles give equal entries";
    EXPECT_EQ(Count(entries, "Yorunel hidden window"), 0);
    EXPECT_EQ(Count(entries, ""), 0) << "untitled windows are not listed";
    EXPECT_EQ(Count(entries, std::string(254, 'L')), 1) << "a long title is cut to 254 bytes";
    EXPECT_EQ(Count(entries, "設定"), 0) << "the settings dialog is Yorunel's own";

    TestWindow later(L"Yorunel later window");
    HWND refresh = Descendants(picker, "TSpeedButton").front();
    ClickWithMouse(refresh);
    ASSERT_TRUE(WaitUntil([&] { return Count(ListEntries(list), "Yorunel later window") == 1; }));
    EXPECT_EQ(Count(ListEntries(list), "起動タスク"), 0) << "nor is the picker";
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR) << "the refresh drops the selection";
    EXPECT_FALSE(FocusIsOn(refresh)) << "the picture button never takes the focus";

    Click(ChildByText(picker, "Button", "&Cancel"));
    ASSERT_TRUE(WaitClosed(picker));
    EXPECT_EQ(WindowText(edit1_), "");
    EXPECT_EQ(WindowText(edit2_), "Beta");
    Click(ChildByText(dialog_, "Button", "閉じる(&C)"));
}

TEST_F(Picker, UpperAndLowerButtonsFillTheirFieldsAndThePickedTitleDrivesThePanicKey) {
    // Titles as browsers make them: a zero-width space; an em dash, an emoji
    // and more than the picker keeps.
    TestWindow first(L"Page - Browser\u200B Name", true, 600, 400);
    TestWindow second(L"Mail \u2014 Inbox \U0001F4EC " + std::wstring(290, L'x'), true, 600, 560);
    const std::string one = WindowText(first.Handle());
    const std::string two = WindowText(second.Handle()).substr(0, 254);
    ASSERT_EQ(FindWindowA(nullptr, one.c_str()), nullptr) << "the code page cannot hold the title";
    HWND list = nullptr;
    HWND picker = OpenPicker(upper_, list);
    ASSERT_NE(picker, nullptr);
    auto entries = ListEntries(list);
    auto index = std::find(entries.begin(), entries.end(), one) - entries.begin();
    ASSERT_LT(index, static_cast<long>(entries.size()));
    DoubleClickEntry(list, static_cast<int>(index));
    ASSERT_TRUE(WaitClosed(picker));
    EXPECT_EQ(WindowText(edit1_), one);
    EXPECT_EQ(WindowText(edit2_), "Beta");

    picker = OpenPicker(lower_, list);
    ASSERT_NE(picker, nullptr);
    entries = ListEntries(list);
    index = std::find(entries.begin(), entries.end(), two) - entries.begin();
    ASSERT_LT(index, static_cast<long>(entries.size()));
    DoubleClickEntry(list, static_cast<int>(index));
    ASSERT_TRUE(WaitClosed(picker));
    EXPECT_EQ(WindowText(edit2_), two);
    EXPECT_EQ(WindowText(edit1_), one);

    // The close box hands nothing back.
    picker = OpenPicker(upper_, list);
    ASSERT_NE(picker, nullptr);
    PostMessageA(picker, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitClosed(picker));
    EXPECT_EQ(WindowText(edit1_), one);

    Click(ChildByText(dialog_, "Button", "&OK"));
    ASSERT_TRUE(WaitClosed(dialog_));
    ASSERT_TRUE(WaitUntil([] { return HotKeyTaken(MOD_CONTROL | MOD_ALT, VK_F12); }));
    PressKeys({VK_CONTROL, VK_MENU, VK_F12});
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(first.Handle()) && IsIconic(second.Handle()); }));
}

TEST_F(Picker, DoubleClickWithNoEntrySelectedKeepsThePickerOpen) {
    HWND list = nullptr;
    HWND picker = OpenPicker(upper_, list);
    ASSERT_NE(picker, nullptr);
    // The notification a double click sends, arriving while nothing is
    // selected (a real click on the list always selects an entry).
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    ASSERT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
    PostMessageA(picker, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    // A marker behind it: once the picker has handled that, the double click is handled too.
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(picker, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 30000, &answer);
    PumpMessages();
    EXPECT_TRUE(IsWindowVisible(picker));
    EXPECT_EQ(WindowText(edit1_), "");
    Click(ChildByText(picker, "Button", "&Cancel"));
    ASSERT_TRUE(WaitClosed(picker));
    Click(ChildByText(dialog_, "Button", "閉じる(&C)"));
}
