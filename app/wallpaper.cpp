// The wallpaper list of the tray menu and its rotation. The worker lists the
// folder and sets each wallpaper; the menu, the position and the failure box
// stay here, on the GUI thread.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "app/korvan_main.h"
#include "framework/failure.h"
#include "framework/wide_text.h"
#include "portable/wallpaper_rules.h"
#include "wallpaper/utf16.h"

namespace {

constexpr int kSpan = 5;

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

// Windows 8 and later span a picture across the monitors; told by the
// version, since Windows 7 takes the style and shows it wrong.
bool SpansMonitors() {
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    version.dwMajorVersion = 6;
    version.dwMinorVersion = 2;
    const DWORDLONG condition =
        VerSetConditionMask(VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL), VER_MINORVERSION,
                            VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&version, VER_MAJORVERSION | VER_MINORVERSION, condition) != FALSE;
}

// The parts of Current, one a monitor; at least count of them.
std::vector<std::string> CurrentParts(const std::string& current, std::size_t count) {
    std::vector<std::string> parts(1);
    for (const char c : current) {
        if (c == '|')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    parts.resize(std::max(parts.size(), count));
    return parts;
}

std::string JoinParts(const std::vector<std::string>& parts) {
    std::string joined;
    for (std::size_t i = 0; i < parts.size(); ++i)
        joined += (i ? "|" : "") + parts[i];
    return joined;
}

}  // namespace

void TKorvanMain::BuildWallpaperMenu() {
    TListing listing;
    listing.folder = FullFolder(WallPaperPath);
    listing.subFolders = SubFolders;
    // Shuffled, the menu is in name order too.
    listing.byName = Order == 1 || Order == 2;
    listing.monitors = Monitors == 1;
    Wallpapers->List(listing);
}

void TKorvanMain::FillWallpaperMenu(const std::vector<std::u16string>& paths, const std::vector<RECT>& monitors,
                                    unsigned number) {
    // The menu shown keeps the items it was made from; the list waits for it to close.
    listWaiting_ = PopupMenu1->Tracking();
    if (listWaiting_) {
        waitingList_ = paths;
        waitingMonitors_ = monitors;
        waitingNumber_ = number;
        return;
    }
    N4->Clear();
    wallpapers_.clear();
    wallpaperItems_.clear();
    monitors_ = monitors;
    // The submenus of the folders of the entry before: a folder's files come
    // before its subfolders, so each folder's entries are together.
    std::vector<std::pair<std::u16string, TMenuItem*>> folders;
    std::string path;
    std::string caption;
    for (const std::u16string& wide : paths) {
        if (!AnsiName(wide, path))
            continue;
        TMenuItem* parent = N4;
        std::size_t depth = 0;
        std::size_t start = 0;
        // Parted in UTF-16: a byte of a code page 932 character may be that of "\".
        for (std::size_t end = wide.find(u'\\'); end != std::u16string::npos; end = wide.find(u'\\', start)) {
            const std::u16string folder = wide.substr(start, end - start);
            if (depth >= folders.size() || folders[depth].first != folder) {
                folders.resize(depth);
                AnsiName(folder, caption);
                folders.emplace_back(folder, parent->Add(caption));
            }
            parent = folders[depth++].second;
            start = end + 1;
        }
        folders.resize(depth);
        AnsiName(wide.substr(start), caption);
        wallpaperItems_.push_back(
            parent->Add(caption, [this](TComponent* s) { NewItemClick(s); }, static_cast<int>(wallpapers_.size())));
        wallpapers_.push_back(path);
    }
    MarkCurrentWallpapers();
    if (Order == 2)
        shuffle_.Update(wallpapers_, WallpaperIndex);
    // A listing begun before the advances were asked for may not know the folder yet.
    if (number < pendingListing_)
        return;
    const int presses = pendingAdvances_;
    pendingAdvances_ = 0;
    if (presses == 0 || wallpapers_.empty())
        return;
    // Each press moved the position on; the file reached is the one set.
    for (int press = 1; press < presses; ++press)
        NextWallpaper();
    AdvanceWallpaper(std::exchange(pendingOrigin_, TWallpaperOrigin::Timer));
}

void TKorvanMain::MarkCurrentWallpapers() {
    const std::vector<std::string> current = CurrentParts(Current, 0);
    for (std::size_t i = 0; i < wallpapers_.size(); ++i)
        wallpaperItems_[i]->Checked = std::find(current.begin(), current.end(), wallpapers_[i]) != current.end();
}

int TKorvanMain::WallpaperStyle() const {
    const int style = WallpaperStyleCode(Style);
    return style == kSpan && !SpansMonitors() ? -1 : style;
}

bool TKorvanMain::PerMonitor() const {
    // Spanned, one picture lies across all monitors.
    return Monitors == 1 && !monitors_.empty() && WallpaperStyle() != kSpan;
}

void TKorvanMain::NewItemClick(TComponent* Sender) {
    const std::string& picked = wallpapers_.at(static_cast<std::size_t>(static_cast<TMenuItem*>(Sender)->Tag));
    failureNotice_.Reset();
    TWallpaperSet request;
    request.origin = TWallpaperOrigin::User;
    const std::u16string path = WidePath(WallpaperMenuPath(WallPaperPath, picked));
    if (!PerMonitor()) {
        request.pictures.paths.push_back(path);
        request.tag = picked;
    } else {
        // On the monitor under the pointer, whose task bar holds the icon.
        POINT cursor = {};
        GetCursorPos(&cursor);
        std::size_t monitor = 0;
        for (std::size_t i = 0; i < monitors_.size(); ++i)
            if (PtInRect(&monitors_[i], cursor))
                monitor = i;
        request.pictures.perMonitor = true;
        request.pictures.paths.resize(monitors_.size());
        request.pictures.paths[monitor] = path;
        std::vector<std::string> current = CurrentParts(Current, monitors_.size());
        current[monitor] = picked;
        request.tag = JoinParts(current);
    }
    ApplyWallpaper(request);
}

std::string TKorvanMain::NextWallpaper() {
    if (Order == 2) {
        std::string next = shuffle_.Next(WallpaperIndex);
        // Shuffling chosen in the dialog before the list came back in name order.
        if (next.empty()) {
            shuffle_.Update(wallpapers_, WallpaperIndex);
            next = shuffle_.Next(WallpaperIndex);
        }
        return next;
    }
    WallpaperIndex = NextWallpaperIndex(WallpaperIndex, static_cast<int>(wallpapers_.size()));
    return wallpapers_[static_cast<std::size_t>(WallpaperIndex)];
}

void TKorvanMain::AdvanceWallpaper(TWallpaperOrigin origin) {
    if (origin == TWallpaperOrigin::User)
        failureNotice_.Reset();
    // An empty list may be a folder not there yet (a drive plugged in later,
    // a share asleep): it is listed again, and the advance made when it comes.
    const unsigned listing = Wallpapers->Retry(wallpapers_.empty());
    if (wallpapers_.empty()) {
        pendingListing_ = listing;
        ++pendingAdvances_;
        if (origin == TWallpaperOrigin::User)
            pendingOrigin_ = origin;
        return;
    }
    // With a picture a monitor, each monitor takes the next one in turn.
    TWallpaperSet request;
    request.origin = origin;
    request.pictures.perMonitor = PerMonitor();
    std::vector<std::string> current;
    for (std::size_t monitor = 0; monitor < (request.pictures.perMonitor ? monitors_.size() : 1); ++monitor) {
        current.push_back(NextWallpaper());
        request.pictures.paths.push_back(WidePath(WallpaperRotationPath(WallPaperPath, current.back())));
    }
    request.tag = JoinParts(current);
    ApplyWallpaper(request);
}

void TKorvanMain::Timer1Timer(TComponent*) {
    if (CountWallpaperMinute(MinuteCount, Time))
        AdvanceWallpaper(TWallpaperOrigin::Timer);
    else
        Wallpapers->Retry(wallpapers_.empty());
    // A failure that waited while the user was busy is told at the first tick after.
    if (failureNotice_.Waiting())
        if (const std::string waiting = failureNotice_.Tick(UserIsBusy()); !waiting.empty())
            throw EFailure(waiting);
}

void TKorvanMain::ApplyWallpaper(TWallpaperSet request) {
    request.pictures.style = WallpaperStyle();
    Wallpapers->Set(std::move(request));
}

void TKorvanMain::WallpaperSet(const TWallpaperSet& request) {
    failureNotice_.Reset();
    Current = request.tag;
    MarkCurrentWallpapers();
}

void TKorvanMain::WallpaperFailed(const std::string& failure, TWallpaperOrigin origin) {
    const bool byTimer = origin == TWallpaperOrigin::Timer;
    if (failureNotice_.Failed(failure, byTimer, byTimer && UserIsBusy()))
        throw EFailure(failure);
}
