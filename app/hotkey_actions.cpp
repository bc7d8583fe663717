// The five chores of the global hotkeys.
#include <windows.h>
#include <shellapi.h>

#include "app/korvan_main.h"
#include "app/settings_table.h"
#include "framework/ini_file.h"

namespace {

// A panic window that stopped answering may not freeze the resident program.
constexpr UINT kMinimizeTimeout = 3000;

void MinimizeByTitle(const std::string& title) {
    // An empty title would match some other program's untitled window.
    if (title.empty())
        return;
    HWND window = FindWindowA(nullptr, title.c_str());
    if (!window)
        return;
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0, SMTO_ABORTIFHUNG, kMinimizeTimeout, &result);
}

// rundll32 by its full path: the current directory may be a user folder.
// Empty when the system folder cannot be had; never a guess.
std::string SystemRundll() {
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    // More than the buffer is the size a longer folder would need.
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    return std::string(folder, length) + "\\rundll32.exe";
}

}  // namespace

void TKorvanMain::HookHotKey1HotKey(THookHotKey*, int Index) {
    switch (Index) {
    case hkPaint:
        InvalidateRect(nullptr, nullptr, FALSE);
        break;
    case hkScreenSaver: {
        const TIniFile system("System.INI");
        if (system.ReadString("Boot", "SCRNSAVE.EXE", "A") != "A") {
            PostMessageA(Handle(), WM_SYSCOMMAND, SC_SCREENSAVE, 0);
        } else if (const std::string rundll32 = SystemRundll(); !rundll32.empty()) {
            ShellExecuteA(Handle(), "OPEN", rundll32.c_str(), "shell32.dll,Control_RunDLL Desk.cpl", "", SW_SHOW);
        }
        break;
    }
    case hkExitDialog:
        if (HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr))
            PostMessageA(taskbar, WM_CLOSE, 0, 0);
        break;
    case hkPanic:
        MinimizeByTitle(Application1);
        MinimizeByTitle(Application2);
        break;
    case hkWallPaper:
        AdvanceWallpaper();
        break;
    default:
        break;
    }
}
