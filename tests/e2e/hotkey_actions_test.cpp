// The chores of hotkeys 1, 2 and 4 done by the real program, each seen where
// it lands: a window repainted, a screen-saver request taken from the
// program's queue, a started program's command line, windows minimised.
#include <gtest/gtest.h>

#include "tests/e2e/action_probes.h"

using namespace e2e;
using namespace testing_support;

namespace {

const char* const kDisplaySettings = "shell32.dll,Control_RunDLL desk.cpl,,@screensaver";

std::string WindowsFolder() {
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, MAX_PATH);
    return folder;
}

std::string SystemFolder() {
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    return folder;
}

// The Windows folder's System.INI as a test wants it; its bytes come back
// at the end.
class SystemIni {
public:
    SystemIni() : path_(WindowsFolder() + "\\system.ini"), existed_(FileExists(path_)), saved_(ReadFileBytes(path_)) {}
    ~SystemIni() {
        if (existed_)
            WriteFileBytes(path_, saved_);
        else
            DeleteFileA(path_.c_str());
    }
    SystemIni(const SystemIni&) = delete;
    SystemIni& operator=(const SystemIni&) = delete;

    bool SetScreenSaver(const char* value) const {
        return WritePrivateProfileStringA("Boot", "SCRNSAVE.EXE", value, "System.INI") != FALSE;
    }
    bool HasScreenSaver() const {
        char value[16] = {};
        GetPrivateProfileStringA("Boot", "SCRNSAVE.EXE", "A", value, sizeof(value), "System.INI");
        return std::string(value) != "A";
    }

private:
    std::string path_;
    bool existed_;
    std::string saved_;
};

// A top-level window on a thread of its own that stops taking messages
// until it is let go, as a hung program's window does.
class HungWindow {
public:
    explicit HungWindow(const std::string& title) : title_(title) {
        ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
        WaitForSingleObject(ready_, 10000);
    }
    ~HungWindow() {
        SetEvent(release_);
        WaitForSingleObject(thread_, 15000);
        CloseHandle(thread_);
        CloseHandle(release_);
        CloseHandle(ready_);
    }
    HungWindow(const HungWindow&) = delete;
    HungWindow& operator=(const HungWindow&) = delete;
    HWND Handle() const { return window_; }

private:
    static DWORD WINAPI Run(LPVOID self) {
        auto* hung = static_cast<HungWindow*>(self);
        {
            TestWindow window(hung->title_);
            hung->window_ = window.Handle();
            window.Settle();
            SetEvent(hung->ready_);
            WaitForSingleObject(hung->release_, INFINITE);
            // Let the requests it missed arrive before the window goes.
            PumpMessages();
        }
        return 0;
    }

    std::string title_;
    HANDLE ready_ = nullptr;
    HANDLE release_ = nullptr;
    HANDLE thread_ = nullptr;
    HWND window_ = nullptr;
};

bool Minimised(HWND window) {
    return IsWindow(window) && IsWindowVisible(window) && IsIconic(window);
}

class HotKeyActions : public testing::Test {
protected:
    void Start(const std::vector<std::string>& extra = {}) {
        yorunel.WriteIni(ActionsIni(extra));
        ASSERT_TRUE(yorunel.Start());
        ASSERT_TRUE(yorunel.WaitReady());
        ASSERT_TRUE(ActionsHandled(painted));
    }

    YorunelProcess yorunel;
    TestWindow painted{"Yorunel action test"};
};

TEST_F(HotKeyActions, RedrawRepaintsEveryWindow) {
    Start();
    TestWindow other("Yorunel another window");
    for (TestWindow* window : {&painted, &other}) {
        window->Settle();
        ASSERT_FALSE(GetUpdateRect(window->Handle(), nullptr, FALSE));
    }
    PressAction(1);
    EXPECT_TRUE(WaitUntil([&] { return painted.Count(WM_PAINT) > 0 && other.Count(WM_PAINT) > 0; }));
}

TEST_F(HotKeyActions, ConfiguredScreenSaverIsRequestedFromTheProgramsOwnWindowOnceTheKeysAreUp) {
    SystemIni system;
    CommandRecorder commands;
    ASSERT_TRUE(commands.ReplaceProgram(SystemFolder() + "\\rundll32.exe"));
    // An empty value counts as a configured screen saver too.
    for (const char* value : {"ssmarque.scr", ""}) {
        SCOPED_TRACE(value);
        ASSERT_TRUE(system.SetScreenSaver(value));
        ASSERT_TRUE(system.HasScreenSaver());
        YorunelProcess program;
        program.WriteIni(Ini({"[HotKey]", ActionHotKeyLines()[1], "Time=0", "[Operate]", "Mouse=1"}));
        MessageProbe probe;
        ASSERT_TRUE(program.Start());
        ASSERT_TRUE(program.WaitReady());
        ASSERT_TRUE(probe.Hook(program.MainWindow()));
        ASSERT_TRUE(probe.Mark()) << "the probe runs in the program";
        // A screen saver closes at the key-up that follows its start: with
        // the keys held, the program polls them and asks for nothing.
        HoldKeys({VK_CONTROL, VK_MENU, 'S'}, true);
        const std::string poll = probe.Line(WM_TIMER, 1, 0);
        const std::string request = probe.Line(WM_SYSCOMMAND, SC_SCREENSAVE, 0);
        EXPECT_TRUE(WaitUntil([&] { return probe.Count(poll) >= 3; })) << poll;
        EXPECT_EQ(probe.Count(request), 0) << "requested while the keys are down";
        HoldKeys({VK_CONTROL, VK_MENU, 'S'}, false);
        EXPECT_TRUE(WaitUntil([&] { return probe.Count(request) == 1; })) << request;
        ASSERT_TRUE(probe.Mark());
        EXPECT_TRUE(commands.Lines().empty()) << "no display settings";
        program.Close();
        EXPECT_TRUE(program.WaitForExit());
    }
}

TEST_F(HotKeyActions, WithoutAScreenSaverItsSettingsPageIsStartedByTheSystemFoldersRundll32) {
    SystemIni system;
    ASSERT_TRUE(system.SetScreenSaver(nullptr));
    ASSERT_FALSE(system.HasScreenSaver());
    CommandRecorder commands;
    const std::string rundll32 = SystemFolder() + "\\rundll32.exe";
    ASSERT_TRUE(commands.ReplaceProgram(rundll32));
    // A rundll32.exe beside the program, where Windows would look for a bare name first.
    ASSERT_TRUE(commands.ReplaceProgram(yorunel.Folder() + "\\rundll32.exe"));
    MessageProbe probe;
    Start();
    ASSERT_TRUE(probe.Hook(yorunel.MainWindow()));
    PressAction(2);
    ASSERT_TRUE(commands.WaitForLines(1));
    const std::string line = commands.Lines().front();
    EXPECT_EQ(line.substr(0, line.find('|')), "module=" + rundll32);
    const std::string command = line.substr(line.find("|command=") + 9);
    const std::string arguments = std::string(" ") + kDisplaySettings + "|show=5";
    EXPECT_TRUE(command == "\"" + rundll32 + "\"" + arguments || command == rundll32 + arguments) << command;
    ASSERT_TRUE(probe.Mark());
    for (const std::string& logged : probe.Lines())
        EXPECT_EQ(logged.find("WM_SYSCOMMAND"), std::string::npos) << logged;
    EXPECT_EQ(commands.Lines().size(), 1u);
}

TEST_F(HotKeyActions, PanicMinimisesTheTwoWindowsWithExactlyTheRegisteredTitles) {
    TestWindow first("Yorunel panic one");
    TestWindow second("パニック表示");
    TestWindow longer("Yorunel panic one more");
    Start({"Application1=Yorunel panic one", "Application2=パニック表示"});
    PressAction(4);
    EXPECT_TRUE(WaitUntil([&] { return Minimised(first.Handle()) && Minimised(second.Handle()); }));
    ASSERT_TRUE(ActionsHandled(painted));
    EXPECT_FALSE(IsIconic(longer.Handle()));
    EXPECT_FALSE(IsIconic(painted.Handle()));
    EXPECT_EQ(first.Count(WM_CLOSE) + second.Count(WM_CLOSE), 0) << "minimised, not closed";
}

TEST_F(HotKeyActions, PanicWithEmptyTitlesMinimisesNothingNotEvenAnUntitledWindow) {
    TestWindow untitled("", "YorunelTestWindow", WS_POPUP | WS_VISIBLE | WS_MINIMIZEBOX);
    Start({"Application1=", "Application2="});
    SetWindowPos(untitled.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_EQ(FindWindowA(nullptr, ""), untitled.Handle()) << "an empty title would find this window";
    for (int i = 0; i < 2; ++i)
        PressAction(4);
    ASSERT_TRUE(ActionsHandled(painted));
    EXPECT_FALSE(IsIconic(untitled.Handle()));
    EXPECT_EQ(untitled.Count(WM_SYSCOMMAND), 0);
}

TEST_F(HotKeyActions, HungPanicWindowDoesNotStopTheSecondOrTheProgram) {
    TestWindow live("Yorunel panic live");
    Start({"Application1=Yorunel panic hung", "Application2=Yorunel panic live"});
    // Made after the start's redraw: under Wine a redraw waits for every
    // window, a hung one too.
    HungWindow hung("Yorunel panic hung");
    PressAction(4);
    EXPECT_TRUE(WaitUntil([&] { return Minimised(live.Handle()); }, 15000));
    // The program answers again: a click on its icon pauses it.
    yorunel.Tray(WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitUntil([] { return !HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P'); }));
    EXPECT_FALSE(IsIconic(hung.Handle())) << "the hung window took no request";
}

TEST_F(HotKeyActions, IndexesWithoutAnActionDoNothing) {
    Start();
    const std::vector<HWND> windows = yorunel.UtilityWindows();
    ASSERT_FALSE(windows.empty());
    // As the system would deliver them, had they been registered.
    for (WPARAM index : {0, 6, 0xBFFF})
        for (HWND utility : windows)
            PostMessageA(utility, WM_HOTKEY, index, 0);
    ASSERT_TRUE(ActionsHandled(painted));
    EXPECT_EQ(yorunel.WaitForBox(nullptr, 0), nullptr);
    EXPECT_TRUE(yorunel.Running());
}

}  // namespace
