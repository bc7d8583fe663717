#include "wallpaper/folder_watch.h"

#include "wallpaper/utf16.h"

namespace {

constexpr DWORD kWatched = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME;

// The volume Windows runs from is never removed while it runs.
bool OnSystemVolume(const std::u16string& folder) {
    WCHAR windows[MAX_PATH], system[MAX_PATH], volume[MAX_PATH];
    return GetWindowsDirectoryW(windows, MAX_PATH) && GetVolumePathNameW(windows, system, MAX_PATH) &&
           GetVolumePathNameW(WidePtr(folder), volume, MAX_PATH) && lstrcmpiW(system, volume) == 0;
}

}  // namespace

TFolderWatch::TFolderWatch() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

TFolderWatch::~TFolderWatch() {
    Close();
}

bool TFolderWatch::Open(const std::u16string& folder, bool subtree, HWND window) {
    Close();
    path_ = folder;
    subtree_ = subtree;
    folder_.reset(CreateFileW(WidePtr(folder), FILE_LIST_DIRECTORY,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
    if (!folder_ || !event_ || !Read()) {
        Close();
        return false;
    }
    // The open handle would keep a USB drive from being removed safely:
    // the system asks its holder first, through this window. (Wine starts
    // a thread of its own for the first registration.)
    if (OnSystemVolume(folder))
        return true;
    DEV_BROADCAST_HANDLE filter = {};
    filter.dbch_size = sizeof(filter);
    filter.dbch_devicetype = DBT_DEVTYP_HANDLE;
    filter.dbch_handle = folder_.get();
    device_ = RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    return true;
}

void TFolderWatch::Close() {
    if (device_)
        UnregisterDeviceNotification(device_);
    device_ = nullptr;
    if (folder_) {
        // The read in progress writes into this object until it has ended.
        CancelIo(folder_.get());
        DWORD ignored = 0;
        GetOverlappedResult(folder_.get(), &overlapped_, &ignored, TRUE);
        folder_.reset();
    }
    if (event_)
        ResetEvent(event_.get());
}

bool TFolderWatch::Read() {
    ResetEvent(event_.get());
    overlapped_ = {};
    overlapped_.hEvent = event_.get();
    return ReadDirectoryChangesW(folder_.get(), changes_, sizeof(changes_), subtree_, kWatched, nullptr,
                                 &overlapped_, nullptr) != FALSE;
}

bool TFolderWatch::Rearm() {
    DWORD ignored = 0;
    // A folder removed or a drive gone ends the read with a failure; more
    // changes than the buffer holds are a change too.
    const bool read = folder_ && (GetOverlappedResult(folder_.get(), &overlapped_, &ignored, FALSE) ||
                                  GetLastError() == ERROR_NOTIFY_ENUM_DIR);
    if (!read || !Read()) {
        Close();
        return false;
    }
    return true;
}

bool TFolderWatch::Release(WPARAM event, const DEV_BROADCAST_HDR* device) {
    if (event != DBT_DEVICEQUERYREMOVE || !device || device->dbch_devicetype != DBT_DEVTYP_HANDLE ||
        reinterpret_cast<const DEV_BROADCAST_HANDLE*>(device)->dbch_handle != folder_.get() || !folder_)
        return false;
    Close();
    return true;
}
