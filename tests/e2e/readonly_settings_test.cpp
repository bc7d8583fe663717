// A settings file the user may not write (read-only, for a user who is not
// an administrator): the failure is told and nothing is lost. Runs as an
// unprivileged user (scripts/unprivileged-test.sh); with rights that write
// read-only files anyway it has nothing to show and skips.
#include <gtest/gtest.h>

#include "tests/e2e/yorunel_driver.h"

using namespace e2e;
using namespace testing_support;

namespace {

bool ReadOnlyFilesAreWritable() {
    TempFolder folder;
    const std::string file = folder.File("probe.ini");
    WriteFileBytes(file, "[S]\r\nK=1\r\n");
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    const bool written = WritePrivateProfileStringA("S", "K", "2", file.c_str()) != FALSE;
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    return written;
}

}  // namespace

TEST(ReadOnlySettings, PauseAndExitTellTheFailureAndKeepTheProgramUntilTheFileIsWritable) {
    if (ReadOnlyFilesAreWritable())
        GTEST_SKIP() << "this user writes read-only files: run as an unprivileged user";
    YorunelProcess yorunel;
    yorunel.WriteIni(Ini({"[HotKey]", "Paint=Ctrl+Alt+P", "Time=7", "[Operate]", "Mouse=1"}));
    ASSERT_TRUE(SetFileAttributesA(yorunel.IniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(yorunel.Start());
    ASSERT_TRUE(yorunel.WaitReady());

    yorunel.Tray(WM_LBUTTONDOWN);
    HWND box = yorunel.WaitForBox("Yorunel");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), yorunel.IniPath() + " に書き込めません.");
    ClickDialogButton(box, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P')) << "not paused";

    yorunel.Close();
    box = yorunel.WaitForBox("Yorunel");
    ASSERT_NE(box, nullptr);
    ClickDialogButton(box, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return yorunel.TrayIconPresent(); })) << "still in the tray";
    EXPECT_TRUE(yorunel.Running());

    ASSERT_TRUE(SetFileAttributesA(yorunel.IniPath().c_str(), FILE_ATTRIBUTE_NORMAL));
    yorunel.Close();
    ASSERT_TRUE(yorunel.WaitForExit());
    EXPECT_NE(yorunel.ReadIni().find("WallPaperPath="), std::string::npos) << "saved once it could be";
}
