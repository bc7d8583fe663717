#include "tests/e2e/soak_driver.h"

#include <shellapi.h>

#include <algorithm>

#include "tests/e2e/settings_driver.h"

using namespace testing_support;

namespace e2e {

namespace {

const char* const kPanicTitle1 = "Yorunel soak panic one";
const char* const kPanicTitle2 = "Yorunel soak panic two";
const char* const kFailureFile = "fail_next";
// The wallpaper presses made before waiting for them to be handled.
constexpr int kPressBatch = 10;

// The probe holds the key for a moment: asked while the program registers
// it, the program's registration would fail. So it is asked once the
// program has nothing left to do (Idle), or while waiting for the release.
bool WallpaperKeyTaken() {
    return HotKeyTaken(MOD_CONTROL | MOD_ALT, 'W');
}

std::size_t Occurrences(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++count;
    return count;
}

}  // namespace

int SoakRound::Operations() const {
    return wallpaperPresses + redrawPresses + panicPresses + 2 * pauseCycles + trayMenus + settingsDialogs +
           windowPickers + folderPickers + taskbarCreated + wallpaperFailures + timerTicks;
}

Soak::Soak(int wallpaperFiles) {
    static const char* const kExtensions[] = {".jpg", ".bmp", ".htm", ".txt"};
    for (int i = 0; i < wallpaperFiles; ++i)
        WriteFileBytes(pictures_.File("soak" + std::to_string(10000 + i) + kExtensions[i % 4]), "picture");
    painted_.reset(new TestWindow("Yorunel soak"));
    panic1_.reset(new TestWindow(kPanicTitle1));
    panic2_.reset(new TestWindow(kPanicTitle2));
    // Apart, so that the windows the panic key minimises never cover the one whose painting is waited for.
    SetWindowPos(panic1_->Handle(), nullptr, 480, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(panic2_->Handle(), nullptr, 480, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    SetEnvironmentVariableA("YORUNEL_WALLPAPER_FAIL_NEXT", control_.File(kFailureFile).c_str());
}

Soak::~Soak() {
    SetEnvironmentVariableA("YORUNEL_WALLPAPER_FAIL_NEXT", nullptr);
}

bool Soak::Fail(const std::string& what) {
    if (!error_.empty())
        return false;
    // What the program shows and holds then, for the one who reads the error.
    error_ = what + "; visible windows of the program:";
    for (HWND window : FindTopWindows(nullptr, nullptr, yorunel_.ProcessId()))
        if (IsWindowVisible(window))
            error_ += " [" + ClassNameOf(window) + " \"" + WindowText(window) + "\"]";
    error_ += std::string("; Ctrl+Alt+P ") + (HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P') ? "taken" : "free") +
              ", Ctrl+Alt+W " + (WallpaperKeyTaken() ? "taken" : "free");
    SaveScreenshot("soak_failure");
    return false;
}

bool Soak::Start() {
    if (!recorder_.Registered())
        return Fail("the recording wallpaper object is not registered");
    yorunel_.WriteIni(ActionsIni({"WallPaperPath=" + pictures_.Path(), std::string("Application1=") + kPanicTitle1,
                                  std::string("Application2=") + kPanicTitle2},
                                 1));
    if (!yorunel_.Start() || !yorunel_.WaitReady())
        return Fail("Yorunel did not start");
    // The icon comes before the wallpaper list; a handled hotkey comes after.
    return Settled();
}

// Every hotkey pressed and message posted before has been handled. Twice in
// some 60,000 presses one had no effect, with the keys held by the program
// and nothing of it open: an unanswered press is pressed again, and counted.
bool Soak::Settled() {
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (ActionsHandled(*painted_, 3000))
            return true;
        ++pressesRepeated_;
    }
    return Fail("a redraw press was not handled, five times");
}

// A box raised by no failure of this driver's: answered and counted.
bool Soak::AnswerStrayBoxes() {
    for (HWND box : FindTopWindows("#32770", nullptr, yorunel_.ProcessId()))
        if (IsWindowVisible(box)) {
            ++unexpectedBoxes_;
            ClickDialogButton(box, IDOK);
            if (!WaitClosed(box))
                return Fail("a box nobody asked for stayed open");
        }
    return true;
}

std::size_t Soak::ReleasedCount() const {
    return Occurrences(ReadFileBytes(recorder_.LogPath()), "Released");
}

bool Soak::WallpaperPresses(int count) {
    // The log holds only this round's objects: it is read after every batch.
    objectsUsed_ += static_cast<long long>(ReleasedCount());
    DeleteFileA(recorder_.LogPath().c_str());
    for (int done = 0; done < count; done += kPressBatch) {
        const std::size_t before = ReleasedCount();
        for (int i = 0; i < std::min(kPressBatch, count - done); ++i)
            PressAction(5);
        // Presses made while one wallpaper is being set move the position on
        // and end in one more: at least one object more, not one a press.
        if (!Settled())
            return false;
        if (!WaitUntil([&] { return ReleasedCount() > before; }))
            return Fail("wallpaper presses: no object released after " + std::to_string(done) + " of them");
    }
    return true;
}

bool Soak::RedrawPresses(int count) {
    for (int i = 0; i < count; ++i)
        PressAction(1);
    return Settled();
}

bool Soak::PanicPress() {
    for (TestWindow* window : {panic1_.get(), panic2_.get()})
        ShowWindow(window->Handle(), SW_RESTORE);
    PressAction(4);
    return WaitUntil([&] { return IsIconic(panic1_->Handle()) && IsIconic(panic2_->Handle()); }) ||
           Fail("the panic hotkey left a test window open");
}

// Waits until the program's thread has handled what came before: a sent
// message is taken only once the handler before it has returned.
bool Soak::Idle() {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(yorunel_.MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) != 0 ||
           Fail("the program did not answer");
}

// A tray click sent rather than posted: handled when the call returns.
bool Soak::TrayClick() {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(yorunel_.MainWindow(), WM_TRAYICON, 0, WM_LBUTTONDOWN, SMTO_NORMAL, 10000, &result) !=
               0 ||
           Fail("a tray click was not answered");
}

bool Soak::PauseCycle() {
    if (!TrayClick())
        return false;
    if (WallpaperKeyTaken())
        return Fail("a tray click did not pause");
    if (!TrayClick())
        return false;
    return WallpaperKeyTaken() || Fail("a tray click did not resume");
}

bool Soak::TrayMenu(int serial) {
    if (serial % 2 == 1) {
        const std::size_t released = ReleasedCount();
        return (PickWallpaperItem(yorunel_, serial / 2 % 7) &&
                WaitUntil([&] { return ReleasedCount() > released; })) ||
               Fail("picking a wallpaper from the menu");
    }
    yorunel_.Tray(WM_RBUTTONDOWN);
    if (!MenuKeys({VK_ESCAPE}))
        return Fail("the tray menu did not open");
    return PopupMenuGone() || Fail("the tray menu did not close");
}

bool Soak::SettingsDialog(int serial, bool windowPicker, bool folderPicker) {
    HWND dialog = OpenSettings(yorunel_);
    if (!dialog)
        return Fail("the settings dialog did not open");
    // Version, hotkeys, hotkeys 2, wallpaper, more, panic, mouse.
    for (int page = 0; page < 7; ++page) {
        SelectNode(dialog, page);
        if (!WaitUntil([&] { return VisiblePages(dialog).size() == 1; }))
            return Fail("page " + std::to_string(page) + " did not show");
        if (page == 3 && folderPicker) {
            Click(ChildByText(dialog, "Button", "パス"));
            HWND browser = nullptr;
            if (!WaitUntil([&] {
                    for (HWND box : FindTopWindows("#32770", nullptr, yorunel_.ProcessId()))
                        if (IsWindowVisible(box) && GetDlgItem(box, 14145))
                            browser = box;
                    return browser != nullptr;
                }))
                return Fail("the folder picker did not open");
            ClickDialogButton(browser, IDCANCEL);
            if (!WaitClosed(browser))
                return Fail("the folder picker did not close");
        }
        if (page == 5 && windowPicker) {
            Click(ChildByText(dialog, "Button", "登録"));
            HWND picker = WaitForWindow("TTaskForm", nullptr, yorunel_.ProcessId());
            if (!picker)
                return Fail("the window picker did not open");
            Click(ChildByText(picker, "Button", "&Cancel"));
            if (!WaitClosed(picker))
                return Fail("the window picker did not close");
        }
    }
    switch (serial % 3) {
    case 0:
        Click(ChildByText(dialog, "Button", "更新(&R)"));
        Click(ChildByText(dialog, "Button", "閉じる(&C)"));
        break;
    case 1:
        Click(ChildByText(dialog, "Button", "&OK"));
        break;
    default:
        Click(ChildByText(dialog, "Button", "閉じる(&C)"));
        break;
    }
    if (!WaitClosed(dialog))
        return Fail("the settings dialog did not close");
    // The hotkeys, released while it was open, are back.
    return (Idle() && WallpaperKeyTaken()) || Fail("the hotkeys did not come back after the settings dialog");
}

bool Soak::TaskbarCreated() {
    NOTIFYICONDATAA icon = {};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = yorunel_.MainWindow();
    icon.uID = 0;
    Shell_NotifyIconA(NIM_DELETE, &icon);
    PostMessageA(HWND_BROADCAST, taskbarCreated_, 0, 0);
    return WaitUntil([&] { return yorunel_.TrayIconPresent(); }) || Fail("the icon did not come back");
}

bool Soak::WallpaperFailure(int serial) {
    // Taken by the next object made, hotkey's or timer's: one failure, one box.
    const std::string file = control_.File(kFailureFile);
    WriteFileBytes(file + ".part", serial % 2 ? "interface" : "create:80004005");
    MoveFileA((file + ".part").c_str(), file.c_str());
    PressAction(5);
    HWND box = yorunel_.WaitForBox("Yorunel");
    if (!box)
        return Fail(std::string("a failure of the wallpaper object showed no box (the failure ") +
                    (FileExists(file) ? "was not taken)" : "was taken)"));
    ClickDialogButton(box, IDOK);
    if (!WaitClosed(box))
        return Fail("the failure box did not close");
    ++boxesAnswered_;
    return !FileExists(file) || Fail("the failure was not taken");
}

bool Soak::TimerTicks(int count) {
    const std::vector<HWND> windows = yorunel_.UtilityWindows();
    for (int i = 0; i < count; ++i)
        for (HWND window : windows)
            PostMessageA(window, WM_TIMER, 1, 0);
    return Settled();
}

bool Soak::RunRound(const SoakRound& round) {
    roundSeconds_.clear();
    LARGE_INTEGER frequency, mark, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&mark);
    auto timed = [&](const char* kind, bool ok) {
        QueryPerformanceCounter(&now);
        roundSeconds_.emplace_back(kind, static_cast<double>(now.QuadPart - mark.QuadPart) /
                                             static_cast<double>(frequency.QuadPart));
        mark = now;
        return ok;
    };
    bool ok = timed("wallpaper", WallpaperPresses(round.wallpaperPresses));
    ok = ok && timed("redraw", RedrawPresses(round.redrawPresses));
    for (int i = 0; ok && i < round.panicPresses; ++i)
        ok = PanicPress();
    ok = ok && timed("panic", true);
    for (int i = 0; ok && i < round.pauseCycles; ++i)
        ok = PauseCycle();
    ok = ok && timed("pause", true);
    for (int i = 0; ok && i < round.trayMenus; ++i)
        ok = TrayMenu(menus_++);
    ok = ok && timed("menu", true);
    for (int i = 0; ok && i < round.settingsDialogs; ++i)
        ok = SettingsDialog(dialogs_++, i < round.windowPickers, i < round.folderPickers);
    ok = ok && timed("settings", true);
    for (int i = 0; ok && i < round.taskbarCreated; ++i)
        ok = TaskbarCreated();
    ok = ok && timed("taskbar", true);
    for (int i = 0; ok && i < round.wallpaperFailures; ++i)
        ok = WallpaperFailure(failures_++);
    ok = ok && timed("failures", true);
    return ok && TimerTicks(round.timerTicks) && AnswerStrayBoxes() && Settled();
}

ProcessCounts Soak::Sample() {
    Settled();
    if (!linuxProcessId_) {
        const std::string folder = yorunel_.Folder();
        linuxProcessId_ = LinuxProcessOf(folder.substr(folder.rfind('\\') + 1));
    }
    // The least of three readings: a timer's work caught half-way (the
    // recording object's log file open, say) is not what the program keeps.
    ProcessCounts least = SampleProcess(yorunel_.ProcessId(), linuxProcessId_);
    for (int i = 0; i < 2; ++i) {
        WaitUntil([] { return false; }, 50);
        const ProcessCounts next = SampleProcess(yorunel_.ProcessId(), linuxProcessId_);
        for (long ProcessCounts::*field : {&ProcessCounts::handles, &ProcessCounts::gdiObjects,
                                           &ProcessCounts::userObjects, &ProcessCounts::topWindows,
                                           &ProcessCounts::childWindows, &ProcessCounts::privateKiB,
                                           &ProcessCounts::residentKiB})
            least.*field = std::min(least.*field, next.*field);
    }
    return least;
}

double Soak::TrayClickAnswerMs() {
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    yorunel_.Tray(WM_LBUTTONDOWN);
    const bool paused = WaitUntil([] { return !WallpaperKeyTaken(); }, 5000);
    QueryPerformanceCounter(&end);
    if (!paused || !Idle() || !TrayClick() || !WallpaperKeyTaken())
        return -1;
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool Soak::Close() {
    yorunel_.Close();
    return yorunel_.WaitForExit();
}

}  // namespace e2e
