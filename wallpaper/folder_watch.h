// A watch on the names of a folder's entries, so that the list follows the
// folder: pictures added, removed or renamed, a drive plugged in.
#pragma once

#include <windows.h>
#include <dbt.h>

#include <string>

#include "framework/handles.h"

class TFolderWatch {
public:
    TFolderWatch();
    ~TFolderWatch();
    TFolderWatch(const TFolderWatch&) = delete;
    TFolderWatch& operator=(const TFolderWatch&) = delete;

    // Watches the folder, and with subtree its subfolders too; device events
    // for its volume go to window. False when the folder cannot be watched
    // (missing, or a share that refuses).
    bool Open(const std::u16string& folder, bool subtree, HWND window);
    void Close();
    bool IsOpen() const { return static_cast<bool>(folder_); }
    const std::u16string& Folder() const { return path_; }
    bool Subtree() const { return subtree_; }
    // Signalled when the entries have changed.
    HANDLE Event() const { return event_.get(); }
    // Takes the change that signalled the event and watches on; false when
    // the watch had to stop.
    bool Rearm();
    // A device event: true when it asks to remove the watched volume, which
    // the open handle would prevent; the watch is then closed.
    bool Release(WPARAM event, const DEV_BROADCAST_HDR* device);

private:
    bool Read();

    std::u16string path_;
    bool subtree_ = false;
    unique_handle<invalid_traits<CloseHandle>> folder_;
    unique_handle_t event_;
    OVERLAPPED overlapped_ = {};
    HDEVNOTIFY device_ = nullptr;
    // Only that something changed matters: a small buffer that overflows still signals.
    alignas(DWORD) BYTE changes_[1024];
};
