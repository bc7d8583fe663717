// The settings dialog of the real program, opened from the tray menu and
// worked with keys and clicks.
#include <gtest/gtest.h>
#include <shlobj.h>

#include "framework/handles.h"
#include "tests/e2e/action_probes.h"
#include "tests/e2e/settings_driver.h"

using namespace e2e;
using namespace testing_support;

namespace {

const std::string kIni = Ini({"[HotKey]", "Paint=Ctrl+Alt+P", "WallPaper=Ctrl+Alt+W", "Application1=Alpha",
                              "Time=5", "[Operate]", "Mouse=1", "[Wallpaper]", "Style=Zoom"});

const char* const kPages[] = {"バージョン情報", "ホットキーの設定", "ホットキーの設定２", "壁紙変更",
                              "詳細設定",       "パニック機能",     "設定"};

bool TreeShown(HWND browser, HWND tree) {
    return WaitUntil([&] { return SendMessageA(tree, TVM_GETCOUNT, 0, 0) > 0; }) && WaitPainted(browser);
}

bool PausedTip() {
    const auto tips = TrayTips();
    return tips.size() == 1 && tips.front() == "Yorunel(停止中)";
}

// The program and working folder a shortcut file starts, as "program|folder".
std::string ShortcutOf(const std::string& file) {
    const com_init com;
    com_ptr<IShellLinkA> link;
    com_ptr<IPersistFile> persist;
    WCHAR path[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, path, MAX_PATH);
    char target[MAX_PATH] = {};
    char folder[MAX_PATH] = {};
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put_void())) &&
        SUCCEEDED(link.query_to(IID_IPersistFile, persist)) && SUCCEEDED(persist->Load(path, STGM_READ))) {
        link->GetPath(target, MAX_PATH, nullptr, 0);
        link->GetWorkingDirectory(folder, MAX_PATH);
    }
    return std::string(target) + "|" + folder;
}

// Yorunel running on the settings above.
class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        yorunel.WriteIni(kIni);
        ASSERT_TRUE(yorunel.Start());
        ASSERT_TRUE(yorunel.WaitReady());
    }

    MessageProbe probe;  // before the program, which finds its log through the environment
    YorunelProcess yorunel;
};

}  // namespace

TEST_F(Settings, OpensOnTheVersionPageWithTheHotKeysReleasedAndEachNodeShowsItsPage) {
    ASSERT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P'));
    HWND dialog = OpenSettings(yorunel);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(dialog), "設定");
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P')) << "released while the dialog is open";
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'W'));
    HWND tree = Descendants(dialog, WC_TREEVIEWA).front();
    EXPECT_EQ(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0), 0) << "no node selected";
    EXPECT_EQ(VisiblePages(dialog).size(), 7u);
    SaveScreenshot("settings_opened");
    EXPECT_TRUE(FocusIsOn(InGroup(dialog, "再描画", HOTKEY_CLASSA)));

    const char* const shots[] = {"settings_version", "settings_hotkeys", "settings_hotkeys2", "settings_wallpaper",
                                 "settings_more",    "settings_panic",   "settings_mouse"};
    for (int node = 0; node < 7; ++node) {
        SelectNode(dialog, node);
        EXPECT_EQ(VisiblePages(dialog), std::vector<std::string>{kPages[node]});
        WaitPainted(dialog);
        SaveScreenshot(shots[node]);
    }
    HWND right = ChildByText(dialog, "Button", "右ボタンにする。");
    HWND left = ChildByText(dialog, "Button", "左ボタンにする。");
    EXPECT_EQ(SendMessageA(left, BM_GETCHECK, 0, 0), BST_CHECKED) << "the left button pauses";
    EXPECT_EQ(SendMessageA(right, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // No button answers Escape.
    SetForegroundWindow(dialog);
    PressKeys({VK_ESCAPE});
    Click(ChildByText(dialog, "Button", "閉じる(&C)"));
    ASSERT_TRUE(WaitClosed(dialog));
}

TEST_F(Settings, TypedHotKeysAppliedByOkAreRegisteredSavedAtTheNextPauseAndHeldAfterARestart) {
    HWND dialog = OpenSettings(yorunel);
    ASSERT_NE(dialog, nullptr);
    // Typed at once, although the redraw page is not the one seen: keys whose
    // layout names the keypad's "/" and the main block's digit share.
    ASSERT_TRUE(TypeCtrlAlt(dialog, "再描画", VK_OEM_2));
    PressKeys({VK_TAB});
    ASSERT_TRUE(TypeCtrlAlt(dialog, "スクリーンセーバー起動", VK_NUMPAD5));
    EXPECT_TRUE(FindTopWindows("#32770", nullptr, yorunel.ProcessId()).empty()) << "the chore did not run";
    const std::string before = yorunel.ReadIni();
    Click(ChildByText(dialog, "Button", "&OK"));
    ASSERT_TRUE(WaitClosed(dialog));
    EXPECT_EQ(yorunel.ReadIni(), before) << "the dialog never writes the file";
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, VK_OEM_2));
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P'));
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'W'));

    yorunel.Tray(WM_LBUTTONDOWN);
    ASSERT_TRUE(WaitUntil(PausedTip));
    const std::string saved = yorunel.ReadIni();
    EXPECT_NE(saved.find("Paint=Ctrl+Alt+VK_BF\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("ScreenSaver=Ctrl+Alt+Num5\r\n"), std::string::npos);
    EXPECT_NE(saved.find("WallPaper=Ctrl+Alt+W\r\n"), std::string::npos);
    EXPECT_NE(saved.find("Application1=Alpha\r\n"), std::string::npos);

    // Started again on the file it saved, it holds the same keys.
    yorunel.Close();
    ASSERT_TRUE(yorunel.WaitForExit());
    YorunelProcess again;
    again.WriteIni(yorunel.ReadIni());
    ASSERT_TRUE(again.Start() && again.WaitReady());
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, VK_OEM_2) && HotKeyTaken(MOD_CONTROL | MOD_ALT, VK_NUMPAD5));
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, VK_DIVIDE) || HotKeyTaken(MOD_CONTROL | MOD_ALT, '5'));
}

TEST_F(Settings, WhileOpenTrayClicksBringItForwardAndNeitherPauseNorOpenTheMenu) {
    ASSERT_TRUE(probe.Hook(yorunel.MainWindow()));
    HWND dialog = OpenSettings(yorunel);
    ASSERT_NE(dialog, nullptr);
    // The user worked in the window, then in another program's; the dialog
    // has no task-bar button. Seen as the program's activation of the window,
    // or the foreground it got: Wine hands the foreground on through X focus
    // events, late on a busy machine.
    TestWindow other("Yorunel window in front");
    const auto clickBrings = [&](UINT button, HWND expected) {
        const std::string activated = probe.Line(WM_ACTIVATE, WA_ACTIVE, 0, expected);
        if (!WaitUntil([&] { return probe.Count(activated) > 0; }) || !SetForegroundWindow(other.Handle()))
            return false;
        const int before = probe.Count(activated);
        yorunel.Tray(button);
        return WaitUntil([&] { return probe.Count(activated) > before || GetForegroundWindow() == expected; });
    };
    EXPECT_TRUE(clickBrings(WM_LBUTTONDOWN, dialog));
    EXPECT_TRUE(clickBrings(WM_RBUTTONDOWN, dialog));
    // A marker behind the two clicks: once it is handled, so are they.
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(yorunel.MainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 30000, &answer);
    EXPECT_TRUE(PopupMenuGone(0));
    EXPECT_EQ(TrayTips(), std::vector<std::string>{"Yorunel(実行中)"});
    // The folder browser open above the dialog is the one that comes forward.
    SelectNode(dialog, 3);
    Click(ChildByText(dialog, "Button", "パス"));
    HWND browser = WaitForWindow("#32770", nullptr, yorunel.ProcessId());
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(clickBrings(WM_LBUTTONDOWN, browser));
    ClickDialogButton(browser, IDCANCEL);
    ASSERT_TRUE(WaitClosed(browser));
    Click(ChildByText(dialog, "Button", "閉じる(&C)"));
    ASSERT_TRUE(WaitClosed(dialog));
}

TEST_F(Settings, ClosingWithoutOkBringsTheReleasedHotKeysBack) {
    HWND dialog = OpenSettings(yorunel);
    ASSERT_NE(dialog, nullptr);
    ASSERT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P'));
    Click(ChildByText(dialog, "Button", "閉じる(&C)"));
    ASSERT_TRUE(WaitClosed(dialog));
    EXPECT_TRUE(WaitUntil([] { return HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P'); }));
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'W'));

    // The title bar's close box does the same.
    dialog = OpenSettings(yorunel);
    ASSERT_NE(dialog, nullptr);
    ASSERT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P'));
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitClosed(dialog));
    EXPECT_TRUE(WaitUntil([] { return HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P'); }));
}

TEST_F(Settings, ChangesMadeWhilePausedReachTheResume) {
    yorunel.Tray(WM_LBUTTONDOWN);
    ASSERT_TRUE(WaitUntil(PausedTip));
    HWND dialog = OpenSettings(yorunel);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(TypeCtrlAlt(dialog, "再描画", 'Z'));
    SelectNode(dialog, 6);
    Click(ChildByText(dialog, "Button", "右ボタンにする。"));
    Click(ChildByText(dialog, "Button", "&OK"));
    ASSERT_TRUE(WaitClosed(dialog));
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'Z')) << "paused: nothing registered";
    EXPECT_TRUE(PausedTip());
    // Written key by key: the last key tells that the file is complete.
    ASSERT_TRUE(WaitUntil([&] { return yorunel.ReadIni().find("Mouse=0\r\n") != std::string::npos; }));
    EXPECT_NE(yorunel.ReadIni().find("Paint=Ctrl+Alt+Z\r\n"), std::string::npos);

    // The right button pauses now, so it resumes too.
    yorunel.Tray(WM_RBUTTONDOWN);
    ASSERT_TRUE(WaitUntil([] { return !PausedTip(); }));
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'Z'));
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P'));
}

TEST_F(Settings, HandEditsMadeWhilePausedSurviveADialogClosedWithoutApplying) {
    yorunel.Tray(WM_LBUTTONDOWN);
    ASSERT_TRUE(WaitUntil(PausedTip));
    std::string ini = yorunel.ReadIni();
    const std::string::size_type at = ini.find("Paint=Ctrl+Alt+P");
    ASSERT_NE(at, std::string::npos);
    ini.replace(at, 16, "Paint=Ctrl+Alt+Q");
    yorunel.WriteIni(ini);
    for (const char* close : {"button", "title bar"}) {
        HWND dialog = OpenSettings(yorunel);
        ASSERT_NE(dialog, nullptr) << close;
        if (close == std::string("button"))
            Click(ChildByText(dialog, "Button", "閉じる(&C)"));
        else
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(WaitClosed(dialog)) << close;
    }
    EXPECT_EQ(yorunel.ReadIni(), ini) << "nothing was applied, so nothing is saved";
    yorunel.Tray(WM_LBUTTONDOWN);
    ASSERT_TRUE(WaitUntil([] { return !PausedTip(); }));
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'Q'));
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P'));
}

TEST_F(Settings, MissingFolderIsToldAndTheDialogStaysOpen) {
    HWND dialog = OpenSettings(yorunel);
    ASSERT_NE(dialog, nullptr);
    SelectNode(dialog, 3);
    HWND folder = ChildByText(dialog, "Edit", yorunel.Folder());
    ASSERT_NE(folder, nullptr) << "the wallpaper folder field shows the program's folder";
    SetWindowTextA(folder, (yorunel.Folder() + "\\missing").c_str());
    Click(ChildByText(dialog, "Button", "&OK"));
    HWND box = yorunel.WaitForBox("Yorunel");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "指定されたフォルダが見つかりません。");
    EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
    WaitPainted(box);
    SaveScreenshot("settings_folder_missing");
    ClickDialogButton(box, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P')) << "nothing applied";
    Click(ChildByText(dialog, "Button", "閉じる(&C)"));
    ASSERT_TRUE(WaitClosed(dialog));
}

TEST_F(Settings, HotKeysThatCannotWorkAsSetAreToldAndOkStillCloses) {
    // Another program holds Ctrl+Alt+H.
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'H'));
    HWND dialog = OpenSettings(yorunel);
    ASSERT_NE(dialog, nullptr);
    const WORD ctrlAlt = (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8;
    auto set = [&](const char* group, WORD key) {
        SendMessageA(InGroup(dialog, group, HOTKEY_CLASSA), HKM_SETHOTKEY, ctrlAlt | key, 0);
    };
    set("再描画", 'H');
    set("終了ダイアログ表示", 'K');
    set("パニック", 'K');
    Click(ChildByText(dialog, "Button", "&OK"));
    HWND box = yorunel.WaitForBox("Yorunel");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "次のホットキーは設定どおりに働きません。\r\n"
                                   "\r\n再描画：ほかのプログラムが使っているため、登録できません。"
                                   "\r\nパニック：「終了ダイアログ表示」と同じキーのため、登録できません。");
    EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
    WaitPainted(box);
    SaveScreenshot("settings_hotkeys_told");
    ClickDialogButton(box, IDOK);
    EXPECT_TRUE(WaitClosed(dialog)) << "OK closes the dialog after the box";
    UnregisterHotKey(nullptr, 1);
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'K'));
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'W'));
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'H'));
}

TEST_F(Settings, PathButtonPutsTheFolderChosenInTheBrowserIntoTheFolderField) {
    HWND dialog = OpenSettings(yorunel);
    ASSERT_NE(dialog, nullptr);
    SelectNode(dialog, 3);
    HWND path = ChildByText(dialog, "Button", "パス");
    ASSERT_NE(path, nullptr);
    HWND folder = ChildByText(dialog, "Edit", yorunel.Folder());
    ASSERT_NE(folder, nullptr);

    // The browser opens rooted at My Computer, open; the first drive is
    // chosen with the keyboard, one key from the root, as a user would.
    Click(path);
    HWND browser = WaitForWindow("#32770", nullptr, yorunel.ProcessId());
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(browser, 14146)), "フォルダー選択") << "the title above the tree";
    HWND tree = GetDlgItem(browser, 14145);
    ASSERT_NE(tree, nullptr);
    // A click on the tree's first row, the root, once the browser has
    // drawn its tree: a click before that lands on nothing.
    ASSERT_TRUE(TreeShown(browser, tree));
    ClickAt(tree, 40, 8);
    ASSERT_TRUE(WaitUntil([&] { return FocusIsOn(tree); }));
    PressKeys({VK_HOME});
    PressKeys({VK_DOWN});
    HWND status = GetDlgItem(browser, 14147);
    std::string chosen;
    ASSERT_TRUE(WaitUntil([&] { return !(chosen = WindowText(status)).empty(); })) << "the status line shows the path";
    WaitPainted(browser);
    SaveScreenshot("settings_folder_browser");
    ClickDialogButton(browser, IDOK);
    ASSERT_TRUE(WaitClosed(browser));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(folder) == chosen; })) << chosen << " / " << WindowText(folder);

    // Confirming My Computer itself, which has no path, empties the field:
    // each press makes a new picker, which has no folder of its own.
    Click(path);
    browser = WaitForWindow("#32770", nullptr, yorunel.ProcessId());
    ASSERT_NE(browser, nullptr);
    tree = GetDlgItem(browser, 14145);
    ASSERT_TRUE(TreeShown(browser, tree));
    ClickAt(tree, 40, 8);
    ASSERT_TRUE(WaitUntil([&] { return FocusIsOn(tree); }));
    PressKeys({VK_HOME});
    ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(browser, 14147)).empty(); }));
    ClickDialogButton(browser, IDOK);
    ASSERT_TRUE(WaitClosed(browser));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(folder).empty(); }));

    Click(ChildByText(dialog, "Button", "閉じる(&C)"));
    ASSERT_TRUE(WaitClosed(dialog));
}

TEST_F(Settings, TheDetailPageReachesTheFileAndItsStartupBoxMakesAndRemovesTheShortcut) {
    char startup[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_STARTUP, nullptr, 0, startup), S_OK);
    const std::string own = std::string(startup) + "\\Yorunel.lnk";
    const std::string mine = std::string(startup) + "\\Mine.lnk";
    DeleteFileA(own.c_str());
    DeleteFileA(mine.c_str());
    const char* const approved = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder";
    const auto marked = [&] { return RegGetValueA(HKEY_CURRENT_USER, approved, "Mine.lnk", RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS; };
    const auto openPage = [&] {
        HWND dialog = OpenSettings(yorunel);
        SelectNode(dialog, 4);
        return dialog;
    };
    HWND dialog = openPage();
    ASSERT_NE(dialog, nullptr);
    const auto combos = Descendants(dialog, "ComboBox");
    ASSERT_EQ(combos.size(), 2u);
    EXPECT_EQ(SendMessageA(combos[1], CB_GETCURSEL, 0, 0), 0) << "a style this version does not know shows as none";
    SendMessageA(combos[0], CB_SETCURSEL, 2, 0);
    for (const char* box : {"サブフォルダの壁紙も使う", "モニターごとに別の壁紙にする", "Windows と同時に起動する"})
        Click(ChildByText(dialog, "Button", box));
    Click(ChildByText(dialog, "Button", "更新(&R)"));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(own); }));
    EXPECT_EQ(ShortcutOf(own), yorunel.Folder() + "\\Yorunel.exe|" + yorunel.Folder());
    Click(ChildByText(dialog, "Button", "&OK"));
    ASSERT_TRUE(WaitClosed(dialog));
    yorunel.Tray(WM_LBUTTONDOWN);
    ASSERT_TRUE(WaitUntil(PausedTip));
    for (const char* key : {"\r\nOrder=2\r\n", "\r\nStyle=Zoom\r\n", "\r\nSubFolders=1\r\n", "\r\nMonitors=1\r\n"})
        EXPECT_NE(yorunel.ReadIni().find(key), std::string::npos) << key;
    yorunel.Tray(WM_LBUTTONDOWN);

    // The user's own shortcut to the program, disabled in Task Manager: off;
    // turned on, it is enabled again and no second one is made.
    ASSERT_TRUE(MoveFileA(own.c_str(), mine.c_str()));
    const BYTE disabled[12] = {3};
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, approved, "Mine.lnk", REG_BINARY, disabled, sizeof(disabled)), ERROR_SUCCESS);
    for (const bool shown : {false, true}) {
        dialog = openPage();
        ASSERT_NE(dialog, nullptr);
        HWND box = ChildByText(dialog, "Button", "Windows と同時に起動する");
        EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), shown ? BST_CHECKED : BST_UNCHECKED);
        Click(box);
        Click(ChildByText(dialog, "Button", "&OK"));
        ASSERT_TRUE(WaitClosed(dialog));
        EXPECT_FALSE(marked());
        EXPECT_EQ(FileExists(mine), !shown) << "turned off, the user's own shortcut is removed too";
        EXPECT_FALSE(FileExists(own));
    }
}
