// The resident main window: never shown, it holds the settings record, owns
// the tray icon, the tray menu, the hotkeys and the wallpaper timer, and is
// the only reader and writer of the settings file.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/form.h"
#include "framework/menu.h"
#include "framework/timer.h"
#include "framework/tray_icon.h"
#include "hotkeys/hook_hotkey.h"
#include "portable/failure_notice.h"
#include "portable/shuffle.h"
#include "wallpaper/wallpaper_worker.h"

// The tray icon's callback message.
constexpr UINT WM_TRAYICON = WM_USER + 200;

// The wallpaper timer's minute. Only the soak benchmark's own build makes it
// shorter (YORUNEL_MINUTE_MS), to run a month of rotation in minutes.
#ifndef YORUNEL_MINUTE_MS
#define YORUNEL_MINUTE_MS 60000
#endif
constexpr unsigned kMinuteMs = YORUNEL_MINUTE_MS;

class TKorvanMain : public TForm {
public:
    explicit TKorvanMain(TComponent* owner);
    ~TKorvanMain() override;

    // The settings record.
    std::string Paint;
    std::string ScreenSaver;
    std::string ExitDialog;
    std::string Panic;
    std::string WallPaper;
    std::string Application1;
    std::string Application2;
    std::string WallPaperPath;
    std::int32_t Time = 0;
    bool Mouse = false;
    // [Wallpaper]: 0 the directory's order, 1 names as Explorer sorts them, 2 shuffled.
    std::int32_t Order = 0;
    // Empty for the system's choice, else Fill, Fit, Stretch, Tile, Center or Span.
    std::string Style;
    bool SubFolders = false;
    // 0 one picture for the whole desktop, 1 each monitor its own.
    std::int32_t Monitors = 0;
    // The wallpapers set last, relative to the folder; one a monitor, "|" between them.
    std::string Current;
    bool Paused = false;
    std::int32_t MinuteCount = 0;
    std::int32_t WallpaperIndex = 0;

    TPopupMenu* PopupMenu1;
    TMenuItem* N4;
    TMenuItem* N1;
    TMenuItem* Exit1;
    TMenuItem* N2;
    TMenuItem* N3;
    THookHotKey* HookHotKey1;
    TTimer* Timer1;
    // The tray icon record and its place in the notification area.
    TTrayIcon* TrayIcon = nullptr;
    // Lists the wallpaper folder and sets wallpapers, off this thread.
    TWallpaperWorker* Wallpapers;

    std::string SettingsFileName() const;
    void LoadSettings();
    void SaveSettings();
    void TogglePause();
    // Registers the hotkey of every non-empty shortcut text of the record.
    void RegisterHotKeys();
    // Releases every hotkey's identifier.
    void ReleaseHotKeys();
    // Asks for the folder's list; the menu keeps the one before until it comes.
    void BuildWallpaperMenu();
    // Hands the pictures to the worker, which sets them in the chosen style.
    void ApplyWallpaper(TWallpaperSet request);
    void AdvanceWallpaper(TWallpaperOrigin origin);
    // The listed wallpapers, relative to the folder, in the rotation's order.
    const std::vector<std::string>& WallpaperList() const { return wallpapers_; }

    void FormCreate(TComponent* Sender);
    void FormClose(TComponent* Sender);
    void FormShow(TComponent* Sender);
    void N1Click(TComponent* Sender);
    void Exit1Click(TComponent* Sender);
    void N3Click(TComponent* Sender);
    void NewItemClick(TComponent* Sender);
    void Timer1Timer(TComponent* Sender);
    void HookHotKey1HotKey(THookHotKey* Sender, int Index);

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void WMTrayIcon(LPARAM mouseMessage);
    // Starts the screen saver once the keys of its hotkey are up.
    void SaverTimerTimer();
    static constexpr UINT_PTR kSaverTimer = 1;
    int saverPolls_ = 0;
    void SetTrayState(int iconId, const char* tip);
    // The worker's results.
    void FillWallpaperMenu(const std::vector<std::u16string>& paths, const std::vector<RECT>& monitors,
                           unsigned number);
    void WallpaperSet(const TWallpaperSet& request);
    void WallpaperFailed(const std::string& failure, TWallpaperOrigin origin);
    // The rotation's next wallpaper, relative to the folder; the list is not empty.
    std::string NextWallpaper();
    void MarkCurrentWallpapers();
    // The shell's style for the record's Style, -1 for the system's choice.
    int WallpaperStyle() const;
    // A picture for each monitor: asked for, and the system can.
    bool PerMonitor() const;
    // The listed wallpapers relative to the folder, in the rotation's order
    // (the menu's), with their menu items; the monitors' areas.
    std::vector<std::string> wallpapers_;
    std::vector<TMenuItem*> wallpaperItems_;
    std::vector<RECT> monitors_;
    TShuffle shuffle_{GetTickCount()};
    // A list that came while the menu was shown, for when it has closed.
    std::vector<std::u16string> waitingList_;
    std::vector<RECT> waitingMonitors_;
    unsigned waitingNumber_ = 0;
    bool listWaiting_ = false;
    // Advances asked for while the list was empty, made when the listing
    // they asked for (or a later one) comes.
    int pendingAdvances_ = 0;
    unsigned pendingListing_ = 0;
    TWallpaperOrigin pendingOrigin_ = TWallpaperOrigin::Timer;
    TFailureNotice failureNotice_;
    // The session is ending: save if the file takes it, and ask nobody.
    void EndSession();

    // True from a save's start until it has succeeded: the file may then be
    // older than the record.
    bool unsaved_ = false;
    // The exit question is open.
    bool closing_ = false;
};

extern TKorvanMain* KorvanMain;

// The program's own full path.
std::string ProgramFileName();
