#include "wallpaper/wallpaper_worker.h"

#include <exception>

#include "framework/ui_queue.h"
#include "wallpaper/desktop_wallpaper.h"
#include "wallpaper/utf16.h"
#include "wallpaper/wallpaper_list.h"

namespace {

const WCHAR kWindowClass[] = L"TWallpaperWorker";
// Copying pictures in changes the folder many times: it is listed once it
// has been quiet this long.
constexpr DWORD kQuietMs = 300;
// How long the end of the program waits for a worker that is blocked.
constexpr DWORD kStopWaitMs = 2000;

}  // namespace

TWallpaperWorker::TWallpaperWorker(TComponent* owner)
    : TComponent(owner), queue_(new TUiQueue(this)), wake_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
    InitializeCriticalSection(&lock_);
}

TWallpaperWorker::~TWallpaperWorker() {
    {
        section_lock lock(lock_);
        stopping_ = true;
    }
    SetEvent(wake_.get());
    // ExitProcess would run the libraries' detach code while the blocked
    // worker may hold the loader's or COM's locks, and could hang.
    if (thread_ && WaitForSingleObject(thread_.get(), kStopWaitMs) == WAIT_TIMEOUT)
        TerminateProcess(GetCurrentProcess(), 0);
    DestroyComponents();
    DeleteCriticalSection(&lock_);
}

unsigned TWallpaperWorker::List(const TListing& listing) {
    {
        section_lock lock(lock_);
        wanted_ = listing;
        ++wantedChanges_;
    }
    return Retry(true);
}

unsigned TWallpaperWorker::Retry(bool listAgain) {
    {
        section_lock lock(lock_);
        if (!listAgain && watched_)
            return 0;
    }
    const unsigned number = WantListing();
    Wake();
    return number;
}

unsigned TWallpaperWorker::WantListing() {
    section_lock lock(lock_);
    return listing_ = ++requests_;
}

void TWallpaperWorker::Set(TWallpaperSet request) {
    section_lock lock(lock_);
    if (setting_ && set_.origin == TWallpaperOrigin::User && request.origin == TWallpaperOrigin::Timer)
        return;
    set_ = std::move(request);
    setting_ = ++requests_;
    Wake();
}

void TWallpaperWorker::Wake() {
    // Started with the first request, so that start-up shows the tray icon first.
    if (!thread_)
        thread_.reset(CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr));
    SetEvent(wake_.get());
}

TWallpaperWorker::TRequest TWallpaperWorker::Take() {
    section_lock lock(lock_);
    TRequest request;
    if (stopping_) {
        request.stop = true;
    } else if (listing_ && (!setting_ || listing_ < setting_)) {
        request.list = listing_;
        request.listing = wanted_;
        request.wantedChange = wantedChanges_;
        listing_ = 0;
    } else if (setting_) {
        request.set = true;
        request.wallpaper = std::move(set_);
        setting_ = 0;
    }
    return request;
}

DWORD WINAPI TWallpaperWorker::ThreadProc(LPVOID self) {
    static_cast<TWallpaperWorker*>(self)->Run();
    return 0;
}

LRESULT CALLBACK TWallpaperWorker::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TWallpaperWorker*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_DEVICECHANGE && self &&
        self->watch_.Release(wParam, reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam))) {
        section_lock lock(self->lock_);
        self->watched_ = false;
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void TWallpaperWorker::Run() {
    // The shell's object lives in this thread's apartment, which pumps
    // messages while it waits, or COM calls into it and broadcasts hang.
    const com_init com;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, kWindowClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              windowClass.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    bool changed = false;
    for (;;) {
        const HANDLE handles[] = {wake_.get(), watch_.Event()};
        const DWORD count = watch_.IsOpen() ? 2 : 1;
        const DWORD woken =
            MsgWaitForMultipleObjectsEx(count, handles, changed ? kQuietMs : INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0 + count) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        } else if (woken == WAIT_OBJECT_0 + 1) {
            // Listed once the changes are over.
            changed = true;
            if (!watch_.Rearm()) {
                section_lock lock(lock_);
                watched_ = false;
            }
            continue;
        } else if (woken == WAIT_TIMEOUT) {
            changed = false;
            WantListing();
        }
        for (TRequest request = Take(); !request.stop; request = Take()) {
            if (request.list)
                ListFolder(request);
            else if (request.set)
                SetWallpaper(request.wallpaper);
            else
                break;
        }
        if (section_lock lock(lock_); stopping_)
            break;
    }
    watch_.Close();
    DestroyWindow(window_);
}

void TWallpaperWorker::ListFolder(const TRequest& request) {
    const TListing& listing = request.listing;
    // Watched before it is listed, so that no change in between is missed.
    if (!watch_.IsOpen() || watch_.Folder() != listing.folder || watch_.Subtree() != listing.subFolders)
        watch_.Open(listing.folder, listing.subFolders, window_);
    {
        section_lock lock(lock_);
        watched_ = watch_.IsOpen();
    }
    // A tree as large as a drive's is given up for the end or other settings;
    // a listing asked for again is begun once this one is over.
    const auto abandoned = [this, &request] {
        section_lock lock(lock_);
        return stopping_ || wantedChanges_ != request.wantedChange;
    };
    std::vector<std::u16string> paths = ListWallpapers(listing, abandoned);
    if (abandoned())
        return;
    // Asked of the system only when wanted: the object lives in another
    // process, and asking for it wakes the machinery of calls between them.
    queue_->Post([this, paths = std::move(paths),
                  monitors = listing.monitors ? WallpaperMonitors() : std::vector<RECT>(), number = request.list] {
        if (OnListed)
            OnListed(paths, monitors, number);
    });
}

void TWallpaperWorker::SetWallpaper(const TWallpaperSet& request) {
    try {
        SetDesktopWallpaper(request.pictures);
    } catch (const std::exception& failure) {
        queue_->Post([this, text = std::string(failure.what()), request] {
            if (OnFailed)
                OnFailed(text, request);
        });
        return;
    }
    queue_->Post([this, request] {
        if (OnSet)
            OnSet(request);
    });
}
