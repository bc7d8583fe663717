// Asks the user for a folder through the shell's folder browser, rooted at
// My Computer, with a status line showing the selected item's path.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "framework/component.h"

// The shell calls of the folder picker; tests replace them to reach the
// failure paths.
struct TFolderDialogShell {
    HRESULT(WINAPI* GetMalloc)(IMalloc** allocator) = SHGetMalloc;
    HRESULT(WINAPI* GetSpecialFolderLocation)(HWND owner, int folder, PIDLIST_ABSOLUTE* list) =
        SHGetSpecialFolderLocation;
    PIDLIST_ABSOLUTE(WINAPI* BrowseForFolder)(LPBROWSEINFOA info) = SHBrowseForFolderA;
    BOOL(WINAPI* GetPathFromIDList)(PCIDLIST_ABSOLUTE list, LPSTR path) = SHGetPathFromIDListA;
};

class TFolderDialog : public TComponent {
public:
    // The owner must be a windowed control: the browser is modal to its window.
    explicit TFolderDialog(TComponent* owner);

    // In: the folder to pre-select, if it exists. Out: the confirmed folder.
    std::string Directory;
    // The text above the folder tree.
    std::string Title;
    TFolderDialogShell Shell;

    // Runs the browser modally; true when the user confirmed an item.
    // Directory changes only when that item has a file-system path.
    bool Execute();

    // The browser's callback; data is the dialog. Always returns 0.
    static int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM lParam, LPARAM data);
};
