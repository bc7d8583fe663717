// The shortcut in the user's Startup folder that starts this program at
// logon. Nothing of it is kept in the settings file: the folder is the record.
#pragma once

#include <windows.h>

class TStartupShortcut {
public:
    // Finds the Startup folder and this program's path.
    TStartupShortcut() noexcept;

    // True when a shortcut there points at this program, ours or the user's
    // own, and Task Manager has not disabled it.
    bool Enabled() const noexcept;
    // Creates ours where none points at the program (not over a file of the
    // user's) and clears Task Manager's mark; or removes every one that
    // points at it. Returns the first refusal.
    HRESULT SetEnabled(bool enabled) const noexcept;

private:
    // Goes through the shortcuts that start this program; enabled tells
    // whether one does before any change. Returns the first refusal.
    HRESULT Scan(bool change, bool enable, bool& enabled) const noexcept;
    HRESULT Create() const noexcept;

    WCHAR folder_[MAX_PATH] = {};
    WCHAR program_[MAX_PATH] = {};
    HRESULT folderFound_;
};
