// A compressed stretch of a user's month with a real Yorunel.exe: rounds of
// the operations a user and the system do most, and what the program holds
// between them. The soak benchmark and its short form in the tests share it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/action_probes.h"
#include "tests/e2e/process_counts.h"

namespace e2e {

// How many of each operation one round does, in this order.
struct SoakRound {
    int wallpaperPresses = 0;
    int redrawPresses = 0;
    int panicPresses = 0;      // each minimises the two test windows again
    int pauseCycles = 0;       // pause and resume: the settings file written and read
    int trayMenus = 0;         // every other one picks a wallpaper from the submenu
    int settingsDialogs = 0;   // every page visited; then 更新 and 閉じる, OK, 閉じる in turn
    int windowPickers = 0;     // opened from the first settings dialogs of the round
    int folderPickers = 0;     // likewise
    int taskbarCreated = 0;    // icon deleted, "TaskbarCreated" broadcast, icon back
    int wallpaperFailures = 0; // each box answered
    int timerTicks = 0;        // WM_TIMER posted, for builds that keep the minute

    int Operations() const;
};

class Soak {
public:
    // A folder of that many files (three in four of them wallpapers) and two panic windows.
    explicit Soak(int wallpaperFiles);
    ~Soak();
    Soak(const Soak&) = delete;
    Soak& operator=(const Soak&) = delete;

    // Starts Yorunel with five hotkeys, the folder, the panic windows and Time=1.
    bool Start();
    // False, with the reason in Error(), when an operation did not complete.
    bool RunRound(const SoakRound& round);
    // The counts once everything queued has been handled.
    ProcessCounts Sample();
    // Milliseconds from a posted tray click until the program has paused (it
    // is resumed again after), or a negative number after five seconds.
    double TrayClickAnswerMs();
    // Ends the program as "終了" does.
    bool Close();

    const std::string& Error() const { return error_; }
    int BoxesAnswered() const { return boxesAnswered_; }
    int UnexpectedBoxes() const { return unexpectedBoxes_; }
    // Redraw presses made again because the one before had no effect.
    int PressesRepeated() const { return pressesRepeated_; }
    // Wallpaper objects the program released (hotkey, menu and timer) up to
    // the start of the last round.
    long long ObjectsUsed() const { return objectsUsed_; }
    // Seconds the last round spent on each kind of operation, in its order.
    const std::vector<std::pair<const char*, double>>& RoundSeconds() const { return roundSeconds_; }
    YorunelProcess& Program() { return yorunel_; }

private:
    bool Fail(const std::string& what);
    bool Settled();
    bool Idle();
    bool TrayClick();
    bool AnswerStrayBoxes();
    bool WallpaperPresses(int count);
    bool RedrawPresses(int count);
    bool PanicPress();
    bool PauseCycle();
    bool TrayMenu(int serial);
    bool SettingsDialog(int serial, bool windowPicker, bool folderPicker);
    bool TaskbarCreated();
    bool WallpaperFailure(int serial);
    bool TimerTicks(int count);
    std::size_t ReleasedCount() const;

    WallpaperRecorder recorder_;
    testing_support::TempFolder pictures_{"yorunel_soak_pictures"};
    testing_support::TempFolder control_{"yorunel_soak_control"};
    YorunelProcess yorunel_;
    std::unique_ptr<TestWindow> painted_;
    std::unique_ptr<TestWindow> panic1_;
    std::unique_ptr<TestWindow> panic2_;
    UINT taskbarCreated_ = 0;
    int menus_ = 0;
    int dialogs_ = 0;
    int failures_ = 0;
    int boxesAnswered_ = 0;
    int unexpectedBoxes_ = 0;
    int pressesRepeated_ = 0;
    long long objectsUsed_ = 0;
    unsigned linuxProcessId_ = 0;
    std::vector<std::pair<const char*, double>> roundSeconds_;
    std::string error_;
};

}  // namespace e2e
