// The wallpaper room's worker: it lists the folder, watches it, and sets
// wallpapers through the shell's object, on a thread of its own with its own
// single-threaded apartment, so that a share that does not answer or an
// object that takes seconds never holds up the program. The GUI thread
// hands it requests; the results come back to the GUI thread's handlers, in
// the order of the requests. The menu, the position, the settings and the
// failure box stay with the GUI thread: the worker writes no settings.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/component.h"
#include "framework/handles.h"
#include "wallpaper/desktop_wallpaper.h"
#include "wallpaper/folder_watch.h"
#include "wallpaper/wallpaper_list.h"

class TUiQueue;

// Who asked for a wallpaper: the timer, or the user (a menu pick, the hotkey).
enum class TWallpaperOrigin { Timer, User };

struct TWallpaperSet {
    TWallpaperPictures pictures;
    TWallpaperOrigin origin = TWallpaperOrigin::Timer;
    // The caller's own, handed back with the result.
    std::string tag;
};

class TWallpaperWorker : public TComponent {
public:
    // Made on the GUI thread, where the handlers run.
    explicit TWallpaperWorker(TComponent* owner);
    // Stops the worker. One blocked for more than about two seconds ends the
    // program here and now: its settings are saved by then.
    ~TWallpaperWorker() override;

    // The folder's usable files as paths relative to it, in the order asked
    // for, the attached monitors' areas (none where the system cannot set a
    // picture a monitor), and the number of the listing asked for last
    // when it began.
    std::function<void(const std::vector<std::u16string>& paths, const std::vector<RECT>& monitors, unsigned number)>
        OnListed;
    std::function<void(const TWallpaperSet& request)> OnSet;
    // The failure's text, for the failure box.
    std::function<void(const std::string& failure, const TWallpaperSet& request)> OnFailed;

    // Lists the folder and from then on lists it again whenever its entries
    // change; replaces a listing still waiting. Returns the listing's number.
    unsigned List(const TListing& listing);
    // Lists the folder again when asked to (the list came back empty) or
    // when it cannot be watched (missing, a share that refuses). Returns the
    // listing's number, 0 when none was needed.
    unsigned Retry(bool listAgain);
    // Replaces a request still waiting, but the timer's never replaces the user's.
    void Set(TWallpaperSet request);

private:
    struct TRequest {
        bool stop = false;
        unsigned list = 0;
        TListing listing;
        unsigned wantedChange = 0;
        bool set = false;
        TWallpaperSet wallpaper;
    };

    static DWORD WINAPI ThreadProc(LPVOID self);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Run();
    unsigned WantListing();
    void Wake();
    // The earliest request waiting, or none.
    TRequest Take();
    void ListFolder(const TRequest& request);
    void SetWallpaper(const TWallpaperSet& request);

    TUiQueue* queue_;
    CRITICAL_SECTION lock_;
    unique_handle_t wake_;
    unique_handle_t thread_;
    // Shared under lock_; requests are numbered as they come, 0 for none
    // waiting; set_ is the wallpaper waiting while setting_ is not 0.
    bool stopping_ = false;
    bool watched_ = false;
    TListing wanted_;
    unsigned wantedChanges_ = 0;
    unsigned requests_ = 0;
    unsigned listing_ = 0;
    unsigned setting_ = 0;
    TWallpaperSet set_;
    // The worker thread's own.
    HWND window_ = nullptr;
    TFolderWatch watch_;
};
