// The wallpaper list of the tray menu and its rotation. The worker lists the
// folder and sets each wallpaper; the menu, the position and the failure box
// stay here, on the GUI thread.
#include <windows.h>
#include <shellapi.h>

#include "app/korvan_main.h"
#include "framework/failure.h"
#include "framework/wide_text.h"
#include "portable/wallpaper_rules.h"
#include "wallpaper/utf16.h"

namespace {

// The ANSI code page's name for a listed name; false for a name it cannot
// hold, which the settings file could not keep either. No best fit: "¥"
// made "\" would lead out of the folder.
bool AnsiName(const std::u16string& name, std::string& ansi) {
    BOOL lossy = FALSE;
    const WCHAR* wide = WidePtr(name);
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, nullptr, 0, nullptr, &lossy);
    if (size <= 1 || lossy)
        return false;
    ansi.assign(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, ansi.data(), size, nullptr, nullptr);
    ansi.pop_back();
    return true;
}

// A path of the record as the ANSI code page reads it: the listed names were
// turned into the menu's captions with it.
std::u16string WidePath(const std::string& path) {
    const std::vector<WCHAR> wide = WideText(path, CP_ACP);
    return std::u16string(reinterpret_cast<const char16_t*>(wide.data()), wide.size() - 1);
}

// The folder as a full path: relative to the current directory here and
// now, which the worker does not follow. An empty one is the current drive's root.
std::u16string FullFolder(const std::string& folder) {
    const std::u16string given = WidePath(WallpaperListFolder(folder));
    WCHAR full[MAX_PATH];
    const DWORD length = GetFullPathNameW(WidePtr(given), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::u16string(reinterpret_cast<const char16_t*>(full), length) : given;
}

// Full-screen programs, presentations and quiet hours: nothing but the
// notifications' own "accepts" answer lets a timer's box through; a failed
// question is not busy.
bool UserIsBusy() {
    QUERY_USER_NOTIFICATION_STATE state = QUNS_ACCEPTS_NOTIFICATIONS;
    return SUCCEEDED(SHQueryUserNotificationState(&state)) && state != QUNS_ACCEPTS_NOTIFICATIONS;
}

}  // namespace

void TKorvanMain::BuildWallpaperMenu() {
    Wallpapers->List(FullFolder(WallPaperPath));
}

void TKorvanMain::FillWallpaperMenu(const std::vector<std::u16string>& names) {
    // The menu shown keeps the items it was made from; the list waits for it to close.
    listWaiting_ = PopupMenu1->Tracking();
    if (listWaiting_) {
        waitingList_ = names;
        return;
    }
    N4->Clear();
    std::string caption;
    for (const std::u16string& name : names)
        if (AnsiName(name, caption))
            N4->Add(caption, [this](TComponent* s) { NewItemClick(s); });
    const int presses = pendingAdvances_;
    pendingAdvances_ = 0;
    if (presses == 0 || N4->Count() == 0)
        return;
    // Each press moved the position on; the file reached is the one set.
    for (int press = 1; press < presses; ++press)
        WallpaperIndex = NextWallpaperIndex(WallpaperIndex, N4->Count());
    AdvanceWallpaper(std::exchange(pendingOrigin_, TWallpaperOrigin::Timer));
}

void TKorvanMain::NewItemClick(TComponent* Sender) {
    const auto* item = static_cast<TMenuItem*>(Sender);
    failureNotice_.Reset();
    ApplyWallpaper(WallpaperMenuPath(WallPaperPath, item->Caption), TWallpaperOrigin::User);
}

void TKorvanMain::AdvanceWallpaper(TWallpaperOrigin origin) {
    if (origin == TWallpaperOrigin::User)
        failureNotice_.Reset();
    // An empty list may be a folder not there yet (a drive plugged in later,
    // a share asleep): it is listed again, and the advance made when it comes.
    Wallpapers->Retry(N4->Count() == 0);
    if (N4->Count() == 0) {
        ++pendingAdvances_;
        if (origin == TWallpaperOrigin::User)
            pendingOrigin_ = origin;
        return;
    }
    WallpaperIndex = NextWallpaperIndex(WallpaperIndex, N4->Count());
    ApplyWallpaper(WallpaperRotationPath(WallPaperPath, N4->Items(WallpaperIndex)->Caption), origin);
}

void TKorvanMain::Timer1Timer(TComponent*) {
    if (CountWallpaperMinute(MinuteCount, Time))
        AdvanceWallpaper(TWallpaperOrigin::Timer);
    else
        Wallpapers->Retry(N4->Count() == 0);
    // A failure that waited while the user was busy is told at the first tick after.
    if (failureNotice_.Waiting())
        if (const std::string waiting = failureNotice_.Tick(UserIsBusy()); !waiting.empty())
            throw EFailure(waiting);
}

void TKorvanMain::ApplyWallpaper(const std::string& Path, TWallpaperOrigin origin) {
    Wallpapers->Set({WidePath(Path), origin});
}

void TKorvanMain::WallpaperFailed(const std::string& failure, TWallpaperOrigin origin) {
    const bool byTimer = origin == TWallpaperOrigin::Timer;
    if (failureNotice_.Failed(failure, byTimer, byTimer && UserIsBusy()))
        throw EFailure(failure);
}
