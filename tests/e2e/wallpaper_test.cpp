// The wallpaper list of the tray menu, picking an item, the rotation by
// hotkey and by the minute timer, and the failures of the wallpaper object,
// seen through the recording object that stands in for the shell's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>

#include "tests/e2e/action_probes.h"
#include "tests/e2e/settings_driver.h"

using namespace e2e;
using namespace testing_support;

namespace {

void MakeFiles(const std::string& folder, const std::vector<std::string>& names) {
    for (const std::string& name : names)
        WriteFileBytes(folder + "\\" + name, "picture");
}

bool IsAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The names of the folder that are in the set, in directory order.
std::vector<std::string> ListedOf(const std::string& folder, const std::set<std::string>& usable) {
    std::vector<std::string> listed;
    for (const std::string& name : DirectoryOrder(folder))
        if (usable.count(name))
            listed.push_back(name);
    return listed;
}

// The last n lines of the log.
std::vector<std::string> Tail(const std::vector<std::string>& lines, std::size_t n) {
    return std::vector<std::string>(lines.end() - static_cast<std::ptrdiff_t>(std::min(n, lines.size())), lines.end());
}

class Wallpaper : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(recorder.Registered());
        ASSERT_TRUE(IsAscii(pictures.Path())) << "the expected UTF-8 paths start with this folder's bytes";
    }

    // Starts the program on the folder, with the [Wallpaper] lines given;
    // with names, until its menu lists them.
    void Start(const std::string& folder, int minutes = 0, const std::vector<std::string>& listed = {},
               std::vector<std::string> wallpaper = {}) {
        wallpaper.insert(wallpaper.begin(), "[Wallpaper]");
        yorunel.WriteIni(ActionsIni({"WallPaperPath=" + folder}, minutes) + Ini(wallpaper));
        ASSERT_TRUE(yorunel.Start());
        ASSERT_TRUE(yorunel.WaitReady());
        ASSERT_TRUE(ActionsHandled(painted));
        // The list comes from the worker, after the icon.
        if (!listed.empty()) {
            ASSERT_TRUE(probe.WaitWallpaperItems(yorunel, listed));
        }
    }

    // Presses the wallpaper hotkey and waits for one more wallpaper set.
    std::vector<std::string> Advance() {
        const std::size_t before = recorder.Lines().size();
        PressAction(5);
        EXPECT_TRUE(recorder.WaitForLines(before + 3));
        return Tail(recorder.Lines(), 3);
    }

    std::vector<std::string> Pick(int downs) {
        const std::size_t before = recorder.Lines().size();
        EXPECT_TRUE(PickWallpaperItem(yorunel, downs));
        EXPECT_TRUE(recorder.WaitForLines(before + 3));
        return Tail(recorder.Lines(), 3);
    }

    // One minute of the wallpaper timer, as the system posts it.
    void Tick(int times = 1) {
        const std::vector<HWND> windows = yorunel.UtilityWindows();
        ASSERT_FALSE(windows.empty());
        for (int i = 0; i < times; ++i)
            for (HWND window : windows)
                PostMessageA(window, WM_TIMER, 1, 0);
    }

    WallpaperRecorder recorder;
    TempFolder pictures{"yorunel_pictures"};
    MessageProbe probe;
    YorunelProcess yorunel;
    TestWindow painted{"Yorunel wallpaper test"};
};

TEST_F(Wallpaper, MenuListsExactlyTheUsableEntriesInDirectoryOrderAndPickingOneSetsItsPath) {
    const std::vector<std::string> usable = {"A.JPG", "b.Bmp", "d.htm", "x.html", ".jpg", "e.jpeg", "h.bmp",
                                             "f.JPE", "g.jfif", "i.png", "j.dib", "k.gif", "l.tif", "m.TIFF"};
    MakeFiles(pictures.Path(), usable);
    MakeFiles(pictures.Path(), {"c.txt", "noext", "n.webp", "o.jpgx"});
    CreateDirectoryA(pictures.File("folder.jpg").c_str(), nullptr);
    CreateDirectoryA(pictures.File("sub").c_str(), nullptr);
    SetFileAttributesA(pictures.File("h.bmp").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    const std::vector<std::string> listed =
        ListedOf(pictures.Path(), std::set<std::string>(usable.begin(), usable.end()));
    ASSERT_EQ(listed.size(), usable.size());
    Start(pictures.Path(), 0, listed);

    for (std::size_t i = 0; i < listed.size(); ++i)
        EXPECT_EQ(Pick(static_cast<int>(i)), WallpaperSet(pictures.File(listed[i]))) << "item " << i;
    // One more Down wraps round to the first item: the list holds no more.
    EXPECT_EQ(Pick(static_cast<int>(listed.size())), WallpaperSet(pictures.File(listed.front())));
    EXPECT_EQ(Pick(-1), WallpaperSet(pictures.File(listed.back())));
    SaveScreenshot("wallpaper_menu_after_picks");

    // Picks leave the rotation where it was: the hotkey sets the second item.
    EXPECT_EQ(Advance(), WallpaperSet(pictures.File(listed[1])));
}

TEST_F(Wallpaper, HotKeyRotatesThroughPositionsOneTwoZeroAndARemovedFileLeavesTheRotation) {
    MakeFiles(pictures.Path(), {"A.JPG", "b.Bmp", "c.txt", "d.htm"});
    const std::vector<std::string> listed = ListedOf(pictures.Path(), {"A.JPG", "b.Bmp", "d.htm"});
    ASSERT_EQ(listed.size(), 3u);
    Start(pictures.Path());
    for (int position : {1, 2, 0, 1, 2})
        EXPECT_EQ(Advance(), WallpaperSet(pictures.File(listed[position]))) << "position " << position;
    DeleteFileA(pictures.File(listed[1]).c_str());
    ASSERT_TRUE(probe.WaitWallpaperItems(yorunel, {listed[0], listed[2]}));
    // Position 2 is past the shorter list's end: it starts again at 0.
    EXPECT_EQ(Advance(), WallpaperSet(pictures.File(listed[0])));
    EXPECT_EQ(Advance(), WallpaperSet(pictures.File(listed[2])));
}

TEST_F(Wallpaper, OneFileIsSetByEveryAdvanceAndAnEmptyListSetsNothing) {
    MakeFiles(pictures.Path(), {"only.bmp", "notes.txt"});
    Start(pictures.Path());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Advance(), WallpaperSet(pictures.File("only.bmp")));
    yorunel.Close();
    ASSERT_TRUE(yorunel.WaitForExit());

    YorunelProcess empty;
    TempFolder nothing("yorunel_no_pictures");
    MakeFiles(nothing.Path(), {"notes.txt"});
    empty.WriteIni(Ini({"[HotKey]", ActionHotKeyLines()[0], ActionHotKeyLines()[4],
                        "WallPaperPath=" + nothing.Path(), "[Operate]", "Mouse=1"}));
    ASSERT_TRUE(empty.Start());
    ASSERT_TRUE(empty.WaitReady());
    const std::size_t before = recorder.Lines().size();
    PressAction(5);
    ASSERT_TRUE(ActionsHandled(painted));
    // "壁紙" without items is a plain item: choosing it does nothing either.
    empty.Tray(WM_RBUTTONDOWN);
    ASSERT_TRUE(MenuKeys({VK_DOWN, VK_RETURN}));
    EXPECT_TRUE(PopupMenuGone());
    ASSERT_TRUE(ActionsHandled(painted));
    EXPECT_EQ(recorder.Lines().size(), before);
    EXPECT_TRUE(empty.Running());
}

TEST_F(Wallpaper, ListIsRebuiltAfterTheSettingsDialogAndAPositionPastItsEndStartsAgainAtZero) {
    MakeFiles(pictures.Path(), {"a.jpg", "b.jpg", "c.jpg"});
    Start(pictures.Path());
    EXPECT_EQ(Advance(), WallpaperSet(pictures.File("b.jpg")));
    EXPECT_EQ(Advance(), WallpaperSet(pictures.File("c.jpg")));
    DeleteFileA(pictures.File("b.jpg").c_str());
    DeleteFileA(pictures.File("c.jpg").c_str());
    MakeFiles(pictures.Path(), {"z.bmp"});
    // 壁紙, 設定: the second item opens the dialog; its end rebuilds the list.
    yorunel.Tray(WM_RBUTTONDOWN);
    ASSERT_TRUE(MenuKeys({VK_DOWN, VK_DOWN, VK_RETURN}));
    HWND settings = WaitForWindow("TKorvanProp", nullptr, yorunel.ProcessId());
    ASSERT_NE(settings, nullptr);
    // OK: closed without it, the dialog would leave the hotkeys released.
    HWND ok = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (ok = FindWindowExA(settings, nullptr, "Button", "&OK")) != nullptr; }));
    PostMessageA(ok, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(settings) || !IsWindowVisible(settings); }));

    EXPECT_EQ(Advance(), WallpaperSet(pictures.File("a.jpg")));
    EXPECT_EQ(Advance(), WallpaperSet(pictures.File("z.bmp")));
    EXPECT_EQ(Pick(2), WallpaperSet(pictures.File("a.jpg"))) << "two items: the third Down wraps";
}

TEST_F(Wallpaper, EmptyFolderSettingListsTheRootOfTheCurrentDrive) {
    // The program runs in its own folder, on the drive of the temporary folder.
    const std::string root = yorunel.Folder().substr(0, 3);
    const std::string name = "yorunel_root_test.jpg";
    struct Removed {
        std::string path;
        ~Removed() { DeleteFileA(path.c_str()); }
    } picture{root + name};
    WriteFileBytes(picture.path, "picture");
    std::size_t pictures = 0;
    for (const std::string& entry : DirectoryOrder(root.substr(0, 2))) {
        const std::string lower = CharLowerA(std::string(entry).data());
        for (const char* extension : {".jpg", ".bmp", ".htm", ".html"})
            pictures += lower.size() >= strlen(extension) &&
                                lower.compare(lower.size() - strlen(extension), std::string::npos, extension) == 0
                            ? 1
                            : 0;
    }
    ASSERT_EQ(pictures, 1u) << "the root holds this test's picture alone";
    Start("", 0, {name});
    const std::vector<std::string> set = WallpaperSet("\\" + name);
    EXPECT_EQ(Pick(0), set);
    EXPECT_EQ(Pick(1), set) << "one item: Down wraps round to it";
    EXPECT_EQ(Advance(), set);
}

TEST_F(Wallpaper, RelativeFolderTypedInIsListedAndRotatedAndNotHeldAfterOk) {
    // Yorunel runs in its own folder: "pics" is found from there.
    const std::string pics = yorunel.Folder() + "\\pics";
    ASSERT_TRUE(CreateDirectoryA(pics.c_str(), nullptr));
    MakeFiles(pics, {"a.jpg", "b.jpg"});
    const std::vector<std::string> listed = ListedOf(pics, {"a.jpg", "b.jpg"});
    Start(pictures.Path());
    HWND dialog = OpenSettings(yorunel);
    ASSERT_NE(dialog, nullptr);
    HWND folder = ChildByText(dialog, "Edit", pictures.Path());
    ASSERT_NE(folder, nullptr);
    SetWindowTextA(folder, "pics");
    Click(ChildByText(dialog, "Button", "&OK"));
    ASSERT_TRUE(WaitClosed(dialog));
    ASSERT_TRUE(probe.WaitWallpaperItems(yorunel, listed));

    EXPECT_EQ(Advance(), WallpaperSet(pics + "\\" + listed[1]));
    EXPECT_EQ(Pick(0), WallpaperSet(pics + "\\" + listed[0]));
    EXPECT_TRUE(MoveFileA(pics.c_str(), (yorunel.Folder() + "\\renamed").c_str()))
        << "the folder is held: error " << GetLastError();
}

TEST_F(Wallpaper, FolderEndingInABackslashIsJoinedOnceByAPickAndTwiceByTheRotation) {
    MakeFiles(pictures.Path(), {"a.jpg", "b.jpg"});
    Start(pictures.Path() + "\\", 0, ListedOf(pictures.Path(), {"a.jpg", "b.jpg"}));
    EXPECT_EQ(Pick(1), WallpaperSet(pictures.Path() + "\\b.jpg"));
    EXPECT_EQ(Advance(), WallpaperSet(pictures.Path() + "\\\\b.jpg"));
    EXPECT_EQ(Advance(), WallpaperSet(pictures.Path() + "\\\\a.jpg"));
}

TEST_F(Wallpaper, JapaneseFolderAndFileNamesReachTheObjectAsTheirOwnCharacters) {
    // "表" ends in the byte of "\", "ソ" too, "ア" in the byte of "A": none of
    // them ends the folder or may be lower-cased.
    struct Name {
        const char* cp932;
        const char* utf8;
    };
    const Name names[] = {
        {"ソース.jpg", u8"ソース.jpg"},
        {"アルバム.JPG", u8"アルバム.JPG"},
        {"予定表.bmp", u8"予定表.bmp"},
    };
    const std::string folder = pictures.File("壁紙表");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    for (const Name& name : names)
        MakeFiles(folder, {name.cp932});
    std::vector<std::string> expected;
    for (const std::string& found : DirectoryOrder(folder))
        for (const Name& name : names)
            if (found == name.cp932)
                expected.push_back(pictures.Path() + u8"\\壁紙表\\" + name.utf8);
    ASSERT_EQ(expected.size(), 3u);
    std::vector<std::string> listed;
    for (const std::string& found : DirectoryOrder(folder))
        if (found != "." && found != "..")
            listed.push_back(found);
    Start(folder, 0, listed);

    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Pick(i), WallpaperSet(expected[static_cast<std::size_t>(i)])) << "item " << i;
    EXPECT_EQ(Pick(3), WallpaperSet(expected[0]));
    EXPECT_EQ(Advance(), WallpaperSet(expected[1]));
}

// The system's text for an error code as the failure box shows it: trailing
// blanks and full stops cut, one full stop appended.
std::string SystemFailureText(DWORD code) {
    char system[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, system,
                                  sizeof(system), nullptr);
    while (length > 0 && (static_cast<unsigned char>(system[length - 1]) <= ' ' || system[length - 1] == '.'))
        --length;
    return length > 0 ? std::string(system, length) + "." : std::string();
}

TEST_F(Wallpaper, FailuresOfTheObjectAreShownAndTheNextHotKeyGoesOnFromTheNextPosition) {
    struct Case {
        const char* failure;
        std::string text;
        // What the object logged while the box is open: a created object is released.
        std::vector<std::string> logged;
        const char* screenshot;
    };
    const Case cases[] = {
        // The customer bit: no system has a message for this code.
        {"create:A00D0C0D:1", "OLE エラー a00d0c0d.", {}, "wallpaper_ole_error"},
        {"create:80070005:1", SystemFailureText(0x80070005), {}, nullptr},
        {"interface:1", "Interface はサポートされていません.", {"Released"}, "wallpaper_interface_error"},
        // The device not ready: SetWallpaper refused, ApplyChanges not called.
        {"set:80070015:1",
         SystemFailureText(0x80070015),
         {"SetWallpaper " + pictures.File("b.jpg"), "Released"},
         nullptr},
        {"apply:80070005:1", SystemFailureText(0x80070005), WallpaperSet(pictures.File("b.jpg")), nullptr},
    };
    MakeFiles(pictures.Path(), {"a.jpg", "b.jpg", "c.jpg"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failure);
        ASSERT_FALSE(c.text.empty()) << "the system has a message for this code";
        recorder.FailWith(c.failure);
        YorunelProcess program;
        program.WriteIni(ActionsIni({"WallPaperPath=" + pictures.Path()}));
        ASSERT_TRUE(program.Start());
        ASSERT_TRUE(program.WaitReady());
        ASSERT_TRUE(ActionsHandled(painted));
        const std::size_t before = recorder.Lines().size();
        PressAction(5);
        HWND box = program.WaitForBox("Yorunel");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box), c.text);
        EXPECT_TRUE(GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) << "in front of the user's windows";
        if (c.screenshot) {
            WaitPainted(box);
            SaveScreenshot(c.screenshot);
        }
        EXPECT_EQ(Tail(recorder.Lines(), recorder.Lines().size() - before), c.logged);
        ClickDialogButton(box, IDOK);
        // The failed advance still moved the position on.
        PressAction(5);
        EXPECT_TRUE(recorder.WaitForLines(before + c.logged.size() + 3));
        EXPECT_EQ(Tail(recorder.Lines(), 3), WallpaperSet(pictures.File("c.jpg")));
        program.Close();
        EXPECT_TRUE(program.WaitForExit());
    }
}

TEST_F(Wallpaper, FailuresWhileTheFailureBoxIsOpenAreNotStackedOnIt) {
    MakeFiles(pictures.Path(), {"a.jpg", "b.jpg"});
    recorder.FailWith("interface");
    Start(pictures.Path(), 1);
    PressAction(5);
    HWND box = yorunel.WaitForBox("Yorunel");
    ASSERT_NE(box, nullptr);
    // The box's own loop still takes hotkeys and the minute timer.
    for (int press = 0; press < 3; ++press) {
        PressAction(5);
        ASSERT_TRUE(recorder.WaitForLines(static_cast<std::size_t>(press) + 2)) << "each failure released the object";
    }
    Tick();
    ASSERT_TRUE(recorder.WaitForLines(5));
    ASSERT_TRUE(ActionsHandled(painted));
    EXPECT_EQ(FindTopWindows("#32770", nullptr, yorunel.ProcessId()), std::vector<HWND>{box});
    ClickDialogButton(box, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return FindTopWindows("#32770", nullptr, yorunel.ProcessId()).empty(); }));
    PressAction(5);
    box = yorunel.WaitForBox("Yorunel");
    ASSERT_NE(box, nullptr) << "with none open, the next failure is told";
    EXPECT_EQ(FindTopWindows("#32770", nullptr, yorunel.ProcessId()).size(), 1u);
    ClickDialogButton(box, IDOK);
}

TEST_F(Wallpaper, TheTimersFailureIsToldOnceUntilTheUserActs) {
    MakeFiles(pictures.Path(), {"a.jpg", "b.jpg"});
    recorder.FailWith("set:80070015");
    Start(pictures.Path(), 1);
    Tick();
    HWND box = yorunel.WaitForBox("Yorunel");
    ASSERT_NE(box, nullptr);
    const std::string told = MessageBoxText(box);
    ClickDialogButton(box, IDOK);
    // Two more failed minutes; the first one's failure has reached the
    // program once the second has been tried, the redraw key after it.
    Tick();
    ASSERT_TRUE(recorder.WaitForLines(4));
    Tick();
    ASSERT_TRUE(recorder.WaitForLines(6));
    ASSERT_TRUE(ActionsHandled(painted));
    EXPECT_TRUE(FindTopWindows("#32770", nullptr, yorunel.ProcessId()).empty()) << "told again";
    PressAction(5);
    box = yorunel.WaitForBox("Yorunel");
    ASSERT_NE(box, nullptr) << "asked for by hand: told at once";
    EXPECT_EQ(MessageBoxText(box), told);
    ClickDialogButton(box, IDOK);
}

TEST_F(Wallpaper, ABlockedObjectHoldsUpNeitherTheMenuNorPauseNorTheHotKeysNorExit) {
    MakeFiles(pictures.Path(), {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"});
    const std::vector<std::string> listed = ListedOf(pictures.Path(), {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"});
    Start(pictures.Path(), 0, listed);
    recorder.Block(true);
    PressAction(5);
    ASSERT_TRUE(recorder.WaitForLines(1));
    yorunel.Tray(WM_RBUTTONDOWN);
    ASSERT_NE(WaitForPopupMenu(), nullptr) << "the menu opens";
    MenuKeys({VK_ESCAPE});
    ASSERT_TRUE(PopupMenuGone());
    // Three presses more move the position on; the last one's file is set.
    for (int press = 0; press < 3; ++press)
        PressAction(5);
    ASSERT_TRUE(ActionsHandled(painted)) << "the hotkeys act";
    yorunel.Tray(WM_LBUTTONDOWN);
    ASSERT_TRUE(WaitUntil([] { return !HotKeyTaken(MOD_CONTROL | MOD_ALT, 'W'); })) << "paused";
    yorunel.Tray(WM_LBUTTONDOWN);
    ASSERT_TRUE(WaitUntil([] { return HotKeyTaken(MOD_CONTROL | MOD_ALT, 'W'); })) << "resumed";
    EXPECT_EQ(recorder.Lines().size(), 1u) << "still blocked";
    recorder.Block(false);
    ASSERT_TRUE(recorder.WaitForLines(6));
    std::vector<std::string> expected = WallpaperSet(pictures.File(listed[1]));
    for (const std::string& line : WallpaperSet(pictures.File(listed[4])))
        expected.push_back(line);
    EXPECT_EQ(recorder.Lines(), expected);

    // Exit while the object blocks: the settings are saved, the program ends.
    recorder.Block(true);
    PressAction(5);
    ASSERT_TRUE(recorder.WaitForLines(7));
    yorunel.WriteIni("");
    yorunel.Close();
    ASSERT_TRUE(yorunel.WaitForExit());
    EXPECT_NE(yorunel.ReadIni().find("WallPaperPath=" + pictures.Path() + "\r\n"), std::string::npos);
}

TEST_F(Wallpaper, TheListFollowsTheFolderAndAFolderMadeLaterIsUsedAtTheNextMinute) {
    MakeFiles(pictures.Path(), {"a.jpg"});
    Start(pictures.Path(), 1, {"a.jpg"});
    MakeFiles(pictures.Path(), {"b.jpg", "c.txt"});
    EXPECT_TRUE(probe.WaitWallpaperItems(yorunel, ListedOf(pictures.Path(), {"a.jpg", "b.jpg"})));
    yorunel.Close();
    ASSERT_TRUE(yorunel.WaitForExit());

    // A drive plugged in later: the folder is not there at the start.
    YorunelProcess later;
    const std::string folder = pictures.File("later");
    later.WriteIni(ActionsIni({"WallPaperPath=" + folder}, 1));
    ASSERT_TRUE(later.Start());
    ASSERT_TRUE(later.WaitReady());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    MakeFiles(folder, {"x.jpg"});
    for (HWND window : later.UtilityWindows())
        PostMessageA(window, WM_TIMER, 1, 0);
    ASSERT_TRUE(recorder.WaitForLines(3));
    EXPECT_EQ(recorder.Lines(), WallpaperSet(folder + "\\x.jpg"));
}

TEST_F(Wallpaper, TimerChangesEveryTimeMinutesAlsoWhilePaused) {
    MakeFiles(pictures.Path(), {"a.jpg", "b.jpg", "c.jpg"});
    Start(pictures.Path(), 3);
    Tick(2);
    ASSERT_TRUE(ActionsHandled(painted));
    EXPECT_TRUE(recorder.Lines().empty()) << "two minutes of three";
    Tick();
    ASSERT_TRUE(recorder.WaitForLines(3));
    EXPECT_EQ(recorder.Lines(), WallpaperSet(pictures.File("b.jpg")));

    yorunel.Tray(WM_LBUTTONDOWN);
    ASSERT_TRUE(WaitUntil([] { return !HotKeyTaken(MOD_CONTROL | MOD_ALT, 'W'); })) << "paused";
    Tick(2);
    Tick();
    ASSERT_TRUE(recorder.WaitForLines(6));
    EXPECT_EQ(Tail(recorder.Lines(), 3), WallpaperSet(pictures.File("c.jpg")));
    EXPECT_EQ(recorder.Lines().size(), 6u);
}

TEST_F(Wallpaper, NameOrderPutsTwoBeforeTenAndShuffleSetsEachOnceARoundWithNoRepeatAtTheSeam) {
    MakeFiles(pictures.Path(), {"10.jpg", "B.jpg", "2.jpg", "a.jpg", "c.png"});
    const std::vector<std::string> byName = {"2.jpg", "10.jpg", "a.jpg", "B.jpg", "c.png"};
    Start(pictures.Path(), 0, byName, {"Order=1"});
    EXPECT_EQ(Advance(), WallpaperSet(pictures.File("10.jpg")));
    EXPECT_EQ(Advance(), WallpaperSet(pictures.File("a.jpg")));
    EXPECT_EQ(probe.WallpaperItems(yorunel)[2], "0 1 a.jpg") << "the wallpaper set last is checked";
    yorunel.Close();
    ASSERT_TRUE(yorunel.WaitForExit());

    YorunelProcess shuffled;
    shuffled.WriteIni(ActionsIni({"WallPaperPath=" + pictures.Path()}) + Ini({"[Wallpaper]", "Order=2"}));
    ASSERT_TRUE(shuffled.Start());
    ASSERT_TRUE(shuffled.WaitReady());
    ASSERT_TRUE(probe.WaitWallpaperItems(shuffled, byName)) << "listed in name order";
    std::vector<std::string> set;
    for (int round = 0; round < 2; ++round) {
        std::set<std::string> once;
        for (int press = 0; press < 5; ++press) {
            const std::size_t before = recorder.Lines().size();
            PressAction(5);
            ASSERT_TRUE(recorder.WaitForLines(before + 3));
            set.push_back(recorder.Lines()[before]);
            once.insert(set.back());
        }
        EXPECT_EQ(once.size(), 5u) << "round " << round << ": each file once";
    }
    EXPECT_NE(set[4], set[5]) << "the last of a round does not start the next";
}

TEST_F(Wallpaper, EachStyleIsHandedToTheObjectBeforeThePicture) {
    struct Case {
        const char* style;
        const char* monitors;
        bool windows10;
        std::vector<std::string> before;  // the lines before the picture's
    };
    const Case cases[] = {
        {"Fill", "0", false, {"SetWallpaperOptions 4"}},  {"Fit", "0", false, {"SetWallpaperOptions 3"}},
        {"Stretch", "0", false, {"SetWallpaperOptions 2"}}, {"Tile", "0", false, {"SetWallpaperOptions 1"}},
        {"Center", "0", false, {"SetWallpaperOptions 0"}}, {"fill", "0", false, {}},
        // Spanning comes with Windows 8; Wine says Windows 7 unless told otherwise.
        {"Span", "0", false, {}},                         {"Span", "0", true, {"SetWallpaperOptions 5"}},
        {"Fill", "1", false, {"SetPosition 4"}},          {"Span", "1", true, {"SetWallpaperOptions 5"}},
    };
    MakeFiles(pictures.Path(), {"a.jpg", "b.jpg"});
    const char* const appDefaults = "Software\\Wine\\AppDefaults\\Yorunel.exe";
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.style) + " " + c.monitors + (c.windows10 ? " Windows 10" : ""));
        HKEY key = nullptr;
        if (c.windows10 && RegCreateKeyExA(HKEY_CURRENT_USER, appDefaults, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                           nullptr) == ERROR_SUCCESS) {
            RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win10"), 6);
            RegCloseKey(key);
        }
        YorunelProcess program;
        program.WriteIni(ActionsIni({"WallPaperPath=" + pictures.Path()}) +
                         Ini({"[Wallpaper]", std::string("Style=") + c.style, std::string("Monitors=") + c.monitors}));
        ASSERT_TRUE(program.Start());
        ASSERT_TRUE(program.WaitReady());
        const std::size_t before = recorder.Lines().size();
        PressAction(5);
        ASSERT_TRUE(recorder.WaitForLines(before + c.before.size() + 1));
        const auto lines = recorder.Lines();
        EXPECT_EQ(std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(before),
                                           lines.begin() + static_cast<std::ptrdiff_t>(before + c.before.size())),
                  c.before);
        EXPECT_EQ(lines[before + c.before.size()].rfind("SetWallpaper ", 0), 0u) << "the picture comes after";
        program.Close();
        ASSERT_TRUE(program.WaitForExit());
        EXPECT_NE(program.ReadIni().find(std::string("Style=") + c.style + "\r\n"), std::string::npos)
            << "kept as written";
        RegDeleteKeyA(HKEY_CURRENT_USER, appDefaults);
    }
}

TEST_F(Wallpaper, SubfoldersAreNestedSubmenusAndComeAfterTheFolderInTheRotation) {
    for (const char* folder : {"sub1", "sub1\\deep", "sub2", "hidden", "empty"})
        ASSERT_TRUE(CreateDirectoryA(pictures.File(folder).c_str(), nullptr));
    MakeFiles(pictures.Path(), {"z.jpg", "sub1\\b.jpg", "sub1\\deep\\c.jpg", "sub2\\d.jpg", "hidden\\e.jpg",
                                "empty\\notes.txt"});
    SetFileAttributesA(pictures.File("hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    Start(pictures.Path(), 0, {"z.jpg", "sub1", "sub2"}, {"Order=1", "SubFolders=1"});
    EXPECT_EQ(probe.WallpaperItems(yorunel), (std::vector<std::string>{"0 0 z.jpg", "0 0 sub1", "1 0 b.jpg",
                                                                        "1 0 deep", "2 0 c.jpg", "0 0 sub2",
                                                                        "1 0 d.jpg"}));
    for (const char* path : {"sub1\\b.jpg", "sub1\\deep\\c.jpg", "sub2\\d.jpg", "z.jpg"})
        EXPECT_EQ(Advance(), WallpaperSet(pictures.File(path)));
    // A picture added deep down is seen by the watch of the whole tree.
    MakeFiles(pictures.Path(), {"sub2\\f.jpg"});
    EXPECT_TRUE(WaitUntil([&] { return probe.WallpaperItems(yorunel).back() == "1 0 f.jpg"; }));
}

TEST_F(Wallpaper, TwoMonitorsGetPicturesOfTheirOwnAndTheMarksComeBackAfterARestart) {
    MakeFiles(pictures.Path(), {"a.jpg", "b.jpg", "c.jpg"});
    const std::vector<std::string> listed = ListedOf(pictures.Path(), {"a.jpg", "b.jpg", "c.jpg"});
    Start(pictures.Path(), 0, listed, {"Monitors=1"});
    PressAction(5);
    ASSERT_TRUE(recorder.WaitForLines(2));
    EXPECT_EQ(recorder.Lines(), (std::vector<std::string>{"SetWallpaper MONITOR1 " + pictures.File(listed[1]),
                                                          "SetWallpaper MONITOR2 " + pictures.File(listed[2])}));
    // A pick goes to the monitor under the pointer: the first one's.
    SetCursorPos(100, 100);
    ASSERT_TRUE(PickWallpaperItem(yorunel, 0));
    ASSERT_TRUE(recorder.WaitForLines(3));
    EXPECT_EQ(recorder.Lines()[2], "SetWallpaper MONITOR1 " + pictures.File(listed[0]));
    yorunel.Close();
    ASSERT_TRUE(yorunel.WaitForExit());
    EXPECT_NE(yorunel.ReadIni().find("Current=" + listed[0] + "|" + listed[2] + "\r\n"), std::string::npos);
    YorunelProcess again;
    again.WriteIni(yorunel.ReadIni());
    ASSERT_TRUE(again.Start());
    ASSERT_TRUE(again.WaitReady());
    EXPECT_TRUE(WaitUntil([&] {
        return probe.WallpaperItems(again) ==
               std::vector<std::string>{"0 1 " + listed[0], "0 0 " + listed[1], "0 1 " + listed[2]};
    }));
}

TEST_F(Wallpaper, TimerWithTimeZeroNeverChanges) {
    MakeFiles(pictures.Path(), {"a.jpg", "b.jpg"});
    Start(pictures.Path(), 0);
    Tick(30);
    ASSERT_TRUE(ActionsHandled(painted));
    EXPECT_TRUE(recorder.Lines().empty());
    EXPECT_EQ(Advance(), WallpaperSet(pictures.File("b.jpg"))) << "the hotkey still works";
}

TEST_F(Wallpaper, SubmenuOpensBesideTheTrayMenuWithTheFoldersPictures) {
    MakeFiles(pictures.Path(), {"夜の海.jpg", "morning.bmp", "noon.html", "readme.txt"});
    Start(pictures.Path(), 0, ListedOf(pictures.Path(), {"夜の海.jpg", "morning.bmp", "noon.html"}));
    yorunel.Tray(WM_RBUTTONDOWN);
    ASSERT_TRUE(MenuKeys({VK_DOWN, VK_RIGHT}));
    auto visibleMenus = [] {
        std::vector<HWND> menus;
        for (HWND menu : FindTopWindows("#32768", nullptr))
            if (IsWindowVisible(menu))
                menus.push_back(menu);
        return menus;
    };
    ASSERT_TRUE(WaitUntil([&] { return visibleMenus().size() == 2; })) << "the menu and its submenu";
    for (HWND menu : visibleMenus())
        WaitPainted(menu);
    SaveScreenshot("tray_menu_wallpapers");
    MenuKeys({VK_ESCAPE, VK_ESCAPE});
    EXPECT_TRUE(PopupMenuGone());
}

}  // namespace
