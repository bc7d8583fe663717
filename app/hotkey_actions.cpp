// The five chores of the global hotkeys.
#include <windows.h>
#include <shellapi.h>

#include "app/korvan_main.h"
#include "app/settings_table.h"
#include "framework/ini_file.h"
#include "settings_ui/task_form.h"

namespace {

// A panic window that stopped answering may not freeze the resident program.
constexpr UINT kMinimizeTimeout = 3000;

struct TitleSearch {
    const std::string& title;
    HWND found;
};

BOOL CALLBACK MatchListedTitle(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<TitleSearch*>(data);
    TListedTitle listed;
    if (ReadListedTitle(window, listed) == 0 || search.title != listed)
        return TRUE;
    search.found = window;
    return FALSE;
}

// The first top-level window, in Z order, whose title reads as the picker
// read it: a browser's title holds characters the code page lacks, so the
// stored text never equals the real title, and a long one was cut.
HWND FindListedWindow(const std::string& title) {
    TitleSearch search{title, nullptr};
    EnumWindows(MatchListedTitle, reinterpret_cast<LPARAM>(&search));
    // A title typed into the file longer than the picker's cut matches whole.
    return search.found ? search.found : FindWindowA(nullptr, title.c_str());
}

void MinimizeByTitle(const std::string& title) {
    // An empty title would match some other program's untitled window.
    if (title.empty())
        return;
    HWND window = FindListedWindow(title);
    if (!window)
        return;
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0, SMTO_ABORTIFHUNG, kMinimizeTimeout, &result);
}

// A screen saver closes on keyboard input, so it starts once every key of
// the combination is up, polled on a timer; a key held down past the last
// poll lets it start anyway.
constexpr UINT kSaverPollMs = 50;
constexpr int kSaverPolls = 60;

bool CombinationHeld(const std::string& shortCutText) {
    std::uint16_t key = 0;
    ModifierSet modifiers = 0;
    SplitShortCut(ParseShortCut(shortCutText), key, modifiers);
    const auto down = [](int virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; };
    return (key != 0 && down(key)) || ((modifiers & modShift) && down(VK_SHIFT)) ||
           ((modifiers & modCtrl) && down(VK_CONTROL)) || ((modifiers & modAlt) && down(VK_MENU));
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
            saverPolls_ = 0;
            SetTimer(Handle(), kSaverTimer, kSaverPollMs, nullptr);
        } else if (const std::string rundll32 = SystemRundll(); !rundll32.empty()) {
            // The page where Windows 7 to 11 choose a screen saver.
            ShellExecuteA(Handle(), "OPEN", rundll32.c_str(), "shell32.dll,Control_RunDLL desk.cpl,,@screensaver", "",
                          SW_SHOW);
        }
        break;
    }
    case hkExitDialog:
        if (HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr)) {
            // After its hotkey this program may take the foreground, and may
            // hand that on: the shell's dialog then opens in front with the focus.
            DWORD shell = 0;
            GetWindowThreadProcessId(taskbar, &shell);
            AllowSetForegroundWindow(shell);
            PostMessageA(taskbar, WM_CLOSE, 0, 0);
        }
        break;
    case hkPanic:
        MinimizeByTitle(Application1);
        MinimizeByTitle(Application2);
        break;
    case hkWallPaper:
        AdvanceWallpaper(TWallpaperOrigin::User);
        break;
    default:
        break;
    }
}

void TKorvanMain::SaverTimerTimer() {
    if (CombinationHeld(ScreenSaver) && ++saverPolls_ < kSaverPolls)
        return;
    KillTimer(Handle(), kSaverTimer);
    PostMessageA(Handle(), WM_SYSCOMMAND, SC_SCREENSAVE, 0);
}
