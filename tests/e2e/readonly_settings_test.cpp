// A settings file that cannot be written: held open without sharing by
// another program (a sync or backup tool), or read-only in a read-only
// folder for a user who is not an administrator (the program unpacked under
// Program Files). Pause, resume and exit go on working and nothing the user
// set is lost. The read-only cases run as an unprivileged user
// (scripts/unprivileged-test.sh); with rights that write read-only files
// anyway they have nothing to show and skip.
#include <gtest/gtest.h>

#include "tests/e2e/settings_driver.h"

using namespace e2e;
using namespace testing_support;

namespace {

enum class Lock { Held, ReadOnly };

const char* const kPausedTip = "Yorunel(停止中)";
const char* const kRunningTip = "Yorunel(実行中)";

bool ReadOnlyFilesAreWritable() {
    TempFolder folder;
    const std::string file = folder.File("probe.ini");
    WriteFileBytes(file, "[S]\r\nK=1\r\n");
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    const bool written = WritePrivateProfileStringA("S", "K", "2", file.c_str()) != FALSE;
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    return written;
}

bool TipIs(const char* tip) {
    return WaitUntil([&] {
        const auto tips = TrayTips();
        return tips.size() == 1 && tips.front() == tip;
    });
}

class UnwritableSettings : public testing::TestWithParam<Lock> {
protected:
    void SetUp() override {
        if (GetParam() == Lock::ReadOnly && ReadOnlyFilesAreWritable())
            GTEST_SKIP() << "this user writes read-only files: run as an unprivileged user";
        yorunel.WriteIni(Ini({"[HotKey]", "Paint=Ctrl+Alt+P", "Time=7", "[Operate]", "Mouse=1"}));
        if (GetParam() == Lock::ReadOnly) {
            ASSERT_TRUE(SetFileAttributesA(yorunel.IniPath().c_str(), FILE_ATTRIBUTE_READONLY));
            ASSERT_TRUE(SetFileAttributesA(yorunel.Folder().c_str(), FILE_ATTRIBUTE_READONLY));
            ASSERT_FALSE(WritePrivateProfileStringA("Probe", "K", "1", yorunel.IniPath().c_str()));
        }
        ASSERT_TRUE(yorunel.Start());
        ASSERT_TRUE(yorunel.WaitReady());
        // Held after the start, which reads the file.
        if (GetParam() == Lock::Held) {
            held_ = CreateFileA(yorunel.IniPath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                nullptr);
            ASSERT_NE(held_, INVALID_HANDLE_VALUE);
        }
    }

    void TearDown() override {
        Unlock();
        if (yorunel.Running()) {
            yorunel.Close();
            yorunel.WaitForExit();
        }
    }

    void Unlock() {
        if (held_ != INVALID_HANDLE_VALUE)
            CloseHandle(held_);
        held_ = INVALID_HANDLE_VALUE;
        SetFileAttributesA(yorunel.Folder().c_str(), FILE_ATTRIBUTE_NORMAL);
        SetFileAttributesA(yorunel.IniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    }

    std::string FailureText() const { return yorunel.IniPath() + " に書き込めません."; }

    YorunelProcess yorunel;
    HANDLE held_ = INVALID_HANDLE_VALUE;
};

}  // namespace

TEST_P(UnwritableSettings, ExitAsksWhetherToExitWithoutSavingNoKeepsTheProgramYesEndsIt) {
    HWND main = yorunel.MainWindow();
    yorunel.Close();
    HWND box = yorunel.WaitForBox("Yorunel");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), FailureText() + "\r\n設定を保存せずに終了しますか？");
    EXPECT_NE(GetDlgItem(box, IDYES), nullptr);
    EXPECT_NE(GetDlgItem(box, IDNO), nullptr);
    EXPECT_EQ(GetDlgItem(box, IDOK), nullptr);
    WaitPainted(box);
    SaveScreenshot("exit_without_saving");
    ClickDialogButton(box, IDNO);
    EXPECT_TRUE(WaitUntil([&] { return yorunel.TrayIconPresent(); })) << "still in the tray";
    EXPECT_TRUE(yorunel.Running());

    // Every later exit asks again; Yes ends the program without its icon.
    yorunel.Close();
    box = yorunel.WaitForBox("Yorunel");
    ASSERT_NE(box, nullptr);
    ClickDialogButton(box, IDYES);
    ASSERT_TRUE(yorunel.WaitForExit());
    EXPECT_FALSE(TrayIconOf(main)) << "the icon is gone";
}

TEST_P(UnwritableSettings, PausePausesWithOneBoxAndTheResumeKeepsWhatTheDialogApplied) {
    yorunel.Tray(WM_LBUTTONDOWN);
    HWND box = yorunel.WaitForBox("Yorunel");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), FailureText());
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P')) << "paused before the box is answered";
    EXPECT_TRUE(TipIs(kPausedTip));
    EXPECT_EQ(FindTopWindows("#32770", nullptr, yorunel.ProcessId()).size(), 1u);
    ClickDialogButton(box, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));

    // Set while paused; the save after the dialog fails too.
    HWND dialog = OpenSettings(yorunel);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(TypeCtrlAlt(dialog, "再描画", 'Z'));
    Click(ChildByText(dialog, "Button", "&OK"));
    ASSERT_TRUE(WaitClosed(dialog));
    box = yorunel.WaitForBox("Yorunel");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), FailureText());
    ClickDialogButton(box, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));

    yorunel.Tray(WM_LBUTTONDOWN);
    ASSERT_TRUE(TipIs(kRunningTip));
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'Z')) << "the record, not the older file";
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P'));

    // Written as soon as the file can be: exit saves the record.
    Unlock();
    yorunel.Close();
    ASSERT_TRUE(yorunel.WaitForExit());
    EXPECT_NE(yorunel.ReadIni().find("Paint=Ctrl+Alt+Z\r\n"), std::string::npos);
    EXPECT_NE(yorunel.ReadIni().find("Time=7\r\n"), std::string::npos);
}

TEST_P(UnwritableSettings, SessionEndShowsNoBoxAndRemovesTheIcon) {
    HWND main = yorunel.MainWindow();
    DWORD_PTR result = 0;
    // A box would hold the answer until someone dismissed it: nobody does.
    EXPECT_TRUE(SendMessageTimeoutA(main, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 30000, &result))
        << "the session's end waits for nobody";
    EXPECT_FALSE(yorunel.TrayIconPresent());
    EXPECT_EQ(yorunel.WaitForBox(nullptr, 0), nullptr);
}

INSTANTIATE_TEST_SUITE_P(, UnwritableSettings, testing::Values(Lock::Held, Lock::ReadOnly),
                         [](const testing::TestParamInfo<Lock>& info) {
                             return info.param == Lock::Held ? "HeldWithoutSharing" : "ReadOnlyForAUser";
                         });
