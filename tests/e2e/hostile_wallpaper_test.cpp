// Wallpaper folders a resident program meets over months: one of ten
// thousand files, a name at the length limit, a folder that goes away, and
// a library planted among the pictures.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/e2e/action_probes.h"
#include "tests/e2e/settings_driver.h"

using namespace e2e;
using namespace testing_support;

namespace {

// A Unix shell command run to its end: a mark file tells it.
bool RunShell(const std::string& command, const std::string& markUnixPath) {
    DeleteFileA(WinPath(markUnixPath).c_str());
    return StartUnixTool("/bin/sh -c \"" + command + " && touch '" + markUnixPath + "'\"") &&
           WaitUntil([&] { return FileExists(WinPath(markUnixPath)); }, 60000);
}

class HostileWallpaper : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(recorder.Registered()); }

    void Start(const std::string& folder) {
        yorunel.WriteIni(ActionsIni({"WallPaperPath=" + folder}));
        ASSERT_TRUE(yorunel.Start());
        ASSERT_TRUE(yorunel.WaitReady());
        ASSERT_TRUE(ActionsHandled(painted));
    }

    std::vector<std::string> Advance() {
        const std::size_t before = recorder.Lines().size();
        PressAction(5);
        EXPECT_TRUE(recorder.WaitForLines(before + 3));
        const auto lines = recorder.Lines();
        return std::vector<std::string>(lines.end() - std::min<std::ptrdiff_t>(3, lines.size()), lines.end());
    }

    WallpaperRecorder recorder;
    MessageProbe probe;
    YorunelProcess yorunel;
    TestWindow painted{"Yorunel hostile wallpaper test"};
};

}  // namespace

TEST_F(HostileWallpaper, TenThousandFilesAreListedAndRotated) {
    const char* build = std::getenv("YORUNEL_BUILD");
    ASSERT_NE(build, nullptr);
    const std::string unixFolder = std::string(build) + "/scratch/ten_thousand";
    ASSERT_TRUE(RunShell("rm -rf '" + unixFolder + "' && mkdir -p '" + unixFolder + "' && cd '" + unixFolder +
                             "' && seq -f 'p%05g.jpg' 1 10000 | xargs touch",
                         std::string(build) + "/scratch/ten_thousand.done"));
    const std::string folder = WinPath(unixFolder);
    const std::vector<std::string> order = DirectoryOrder(folder);
    ASSERT_EQ(order.size(), 10002u) << "with . and ..";
    Start(folder);
    EXPECT_EQ(Advance(), WallpaperSet(folder + "\\" + order[3])) << "position 1: the second file";
    // Up in the submenu: its last item is the last file.
    const std::size_t before = recorder.Lines().size();
    ASSERT_TRUE(PickWallpaperItem(yorunel, -1));
    ASSERT_TRUE(recorder.WaitForLines(before + 3));
    EXPECT_EQ(recorder.Lines()[before], "SetWallpaper " + folder + "\\" + order.back());
    yorunel.Close();
    EXPECT_TRUE(yorunel.WaitForExit());
    RunShell("rm -rf '" + unixFolder + "'", std::string(build) + "/scratch/ten_thousand.done");
}

TEST_F(HostileWallpaper, NameAtTheLengthLimitIsListedAndItsPathCutToTheShellsBuffer) {
    // The longest name a folder entry may have, 255 characters, in a path
    // longer than the ANSI calls take: made from the Unix side.
    const char* build = std::getenv("YORUNEL_BUILD");
    ASSERT_NE(build, nullptr);
    const std::string unixFolder = std::string(build) + "/scratch/long_name";
    const std::string name = std::string(251, 'n') + ".jpg";
    ASSERT_TRUE(RunShell("rm -rf '" + unixFolder + "' && mkdir -p '" + unixFolder + "' && touch '" + unixFolder + "/" +
                             name + "'",
                         std::string(build) + "/scratch/long_name.done"));
    const std::string folder = WinPath(unixFolder);
    Start(folder);
    const std::string full = folder + "\\" + name;
    ASSERT_GT(full.size(), 259u);
    const auto set = Advance();
    EXPECT_EQ(set, WallpaperSet(full.substr(0, 259))) << "cut to 259 characters and its terminating zero";
    EXPECT_TRUE(yorunel.Running());
    yorunel.Close();
    EXPECT_TRUE(yorunel.WaitForExit());
    RunShell("rm -rf '" + unixFolder + "'", std::string(build) + "/scratch/long_name.done");
}

TEST_F(HostileWallpaper, NamesTheCodePageCannotHoldAreLeftOutAndJapaneseNamesStay) {
    const char* build = std::getenv("YORUNEL_BUILD");
    ASSERT_NE(build, nullptr);
    const std::string unixFolder = std::string(build) + "/scratch/foreign_names";
    // Made from the Unix side, in UTF-8: "..¥..¥x.jpg", an emoji and Hangul.
    ASSERT_TRUE(RunShell("rm -rf '" + unixFolder + "' && mkdir -p '" + unixFolder + "' && cd '" + unixFolder +
                             "' && touch $(printf '..\\302\\245..\\302\\245x.jpg') $(printf '\\360\\237\\230\\200.jpg')"
                             " $(printf '\\355\\225\\234\\352\\270\\200.bmp')",
                         std::string(build) + "/scratch/foreign_names.done"));
    const std::string folder = WinPath(unixFolder);
    // "ソ" and "表" end in the byte of "\": they are real names and stay.
    struct Name {
        const char* cp932;
        const char* utf8;
    };
    const Name names[] = {{"ソース.jpg", u8"ソース.jpg"}, {"予定表.bmp", u8"予定表.bmp"}, {"夜景.html", u8"夜景.html"}};
    for (const Name& name : names)
        WriteFileBytes(folder + "\\" + name.cp932, "picture");
    std::vector<std::string> expected;
    std::vector<std::string> listed;
    bool unmapped = false;
    bool yenAsSeparator = false;
    for (const std::string& found : DirectoryOrder(folder)) {
        unmapped |= found.find('?') != std::string::npos;
        yenAsSeparator |= found == "..\\..\\x.jpg";
        for (const Name& name : names)
            if (found == name.cp932) {
                expected.push_back(folder + "\\" + name.utf8);
                listed.push_back(found);
            }
    }
    ASSERT_TRUE(unmapped && yenAsSeparator) << "the ANSI search shows the names as the fault needs them";
    ASSERT_EQ(expected.size(), 3u);
    Start(folder);
    ASSERT_TRUE(probe.WaitWallpaperItems(yorunel, listed));
    for (int i = 0; i <= 3; ++i) {
        const std::size_t before = recorder.Lines().size();
        ASSERT_TRUE(PickWallpaperItem(yorunel, i));
        ASSERT_TRUE(recorder.WaitForLines(before + 3));
        EXPECT_EQ(recorder.Lines()[before], "SetWallpaper " + expected[static_cast<std::size_t>(i % 3)])
            << "item " << i << ": three items, the fourth Down wraps";
    }
    yorunel.Close();
    EXPECT_TRUE(yorunel.WaitForExit());
    RunShell("rm -rf '" + unixFolder + "'", std::string(build) + "/scratch/foreign_names.done");
}

TEST_F(HostileWallpaper, RemovedFolderStillHandsOnItsPathsUntilTheListIsRebuiltEmpty) {
    TempFolder base("yorunel_gone");
    const std::string folder = base.File("pictures");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    WriteFileBytes(folder + "\\a.jpg", "picture");
    WriteFileBytes(folder + "\\b.jpg", "picture");
    SetEnvironmentVariableA("YORUNEL_RECORDER_ERROR_MODE", "1");
    Start(folder);
    ASSERT_TRUE(probe.WaitWallpaperItems(yorunel, {"a.jpg", "b.jpg"}));
    SetEnvironmentVariableA("YORUNEL_RECORDER_ERROR_MODE", nullptr);
    // Gone as a drive is; a folder removed would stay while it is watched.
    ASSERT_TRUE(MoveFileA(folder.c_str(), base.File("moved").c_str()));
    ASSERT_FALSE(FileExists(folder));
    // With the program's error mode: a removed drive fails its search, with no system box.
    PressAction(5);
    ASSERT_TRUE(recorder.WaitForLines(4));
    EXPECT_EQ(recorder.Lines(), (std::vector<std::string>{"SetWallpaper " + folder + "\\b.jpg", "ApplyChanges 7",
                                                          "ErrorMode 1", "Released"}))
        << "what the shell makes of it is its own affair";

    // The settings dialog closed: the list is built again, from nothing.
    HWND dialog = OpenSettings(yorunel);
    ASSERT_NE(dialog, nullptr);
    Click(ChildByText(dialog, "Button", "閉じる(&C)"));
    ASSERT_TRUE(WaitClosed(dialog));
    // Closed without OK: the hotkeys come back once the list is built again.
    ASSERT_TRUE(WaitUntil([] { return HotKeyTaken(MOD_CONTROL | MOD_ALT, 'W'); }));
    const std::size_t before = recorder.Lines().size();
    PressAction(5);
    ASSERT_TRUE(ActionsHandled(painted));
    EXPECT_EQ(recorder.Lines().size(), before) << "an empty list sets nothing";
    // And the program goes on: a click pauses it.
    yorunel.Tray(WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitUntil([] { return TrayTips() == std::vector<std::string>{"Yorunel(停止中)"}; }));
}

TEST_F(HostileWallpaper, LibraryPlantedInTheWallpaperFolderIsNeverLoaded) {
    TempFolder pictures("yorunel_planted");
    WriteFileBytes(pictures.File("a.jpg"), "picture");
    WriteFileBytes(pictures.File("b.jpg"), "picture");
    ASSERT_TRUE(CopyFileA((HelperFolder() + "planted_library.dll").c_str(), pictures.File("yorunel_planted.dll").c_str(),
                          FALSE));
    TempFolder marks("yorunel_marks");
    // Where libraries come from by default, a folder made current is searched:
    // the plant works on a program that does not restrict the search.
    SetEnvironmentVariableA("YORUNEL_PLANTED_MARK", marks.File("control.log").c_str());
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(pictures.Path().c_str());
    HMODULE control = LoadLibraryA("yorunel_planted.dll");
    SetCurrentDirectoryA(previous);
    ASSERT_NE(control, nullptr) << "the plant would not work anyway: the test shows nothing";
    FreeLibrary(control);
    ASSERT_EQ(ReadFileBytes(marks.File("control.log")), "loaded\n");

    SetEnvironmentVariableA("YORUNEL_PLANTED_MARK", marks.File("yorunel.log").c_str());
    SetEnvironmentVariableA("YORUNEL_RECORDER_LOAD", "yorunel_planted.dll");
    Start(pictures.Path());
    SetEnvironmentVariableA("YORUNEL_RECORDER_LOAD", nullptr);
    // OK in the settings dialog enters the wallpaper folder to check it.
    HWND dialog = OpenSettings(yorunel);
    ASSERT_NE(dialog, nullptr);
    Click(ChildByText(dialog, "Button", "&OK"));
    ASSERT_TRUE(WaitClosed(dialog));
    const std::size_t before = recorder.Lines().size();
    PressAction(5);
    ASSERT_TRUE(recorder.WaitForLines(before + 4));
    const auto lines = recorder.Lines();
    EXPECT_EQ(lines[before + 2], "NotLoaded yorunel_planted.dll");
    EXPECT_FALSE(FileExists(marks.File("yorunel.log"))) << "the planted library ran inside the program";
}
