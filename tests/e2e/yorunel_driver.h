// Drives a real Yorunel.exe from outside: starts it in a folder of its own
// with a prepared settings file, acts on its tray icon and reads what the
// tray shows.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace e2e {

constexpr UINT WM_TRAYICON = WM_USER + 200;

class YorunelProcess {
public:
    // A copy of the program in a new scratch folder.
    YorunelProcess();
    // A copy of another program (a full path) whose main window is of the
    // class: the benchmarks run their minimal tray program as they run this.
    YorunelProcess(const std::string& program, const char* mainClass);
    ~YorunelProcess();
    YorunelProcess(const YorunelProcess&) = delete;
    YorunelProcess& operator=(const YorunelProcess&) = delete;

    const std::string& Folder() const { return folder_->Path(); }
    std::string IniPath() const { return folder_->File("Yorunel.ini"); }
    void WriteIni(const std::string& text) const;
    std::string ReadIni() const;

    bool Start(const std::string& arguments = std::string());
    DWORD ProcessId() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }
    bool Running() const;
    // The hidden main window of this process, or null when time is up.
    HWND MainWindow(DWORD timeoutMs = 10000);
    // Its message-only windows: the timer's and the hotkey component's.
    std::vector<HWND> UtilityWindows() const;
    // Running with its icon in the tray.
    bool WaitReady(DWORD timeoutMs = 15000);
    bool TrayIconPresent();
    void Tray(UINT mouseMessage);
    // A message box of this process with the caption, or null.
    HWND WaitForBox(const char* caption, DWORD timeoutMs = 10000) const;
    // Asks the main window to close, as "終了" does.
    void Close();
    bool WaitForExit(DWORD timeoutMs = 15000) const;
    DWORD ExitCode() const;

private:
    std::string program_;
    const char* mainClass_;
    std::unique_ptr<testing_support::TempFolder> folder_;
    std::string copy_;
    PROCESS_INFORMATION info_ = {};
    HWND main_ = nullptr;
};

// True while the tray holds the icon (id 0) of the window, also after the
// window is gone.
bool TrayIconOf(HWND window);
// The tips of the icons in the tray, read from the tray's tooltip control.
std::vector<std::string> TrayTips();
// True when the first tray icon is drawn in greys (the paused picture),
// false when it is in colour.
bool TrayIconIsGrey();
// The visible popup menu window, or null after the wait.
HWND WaitForPopupMenu(DWORD timeoutMs = 10000);
// Waits for a popup menu and posts the keys to its window; false when none
// opened. Its loop takes every key of its thread's queue, where Wine puts the
// keyboard's only once its X focus has caught up, late on a busy machine.
bool MenuKeys(const std::vector<WORD>& keys, DWORD timeoutMs = 10000);
bool PopupMenuGone(DWORD timeoutMs = 10000);
// A settings file in the profile format, CRLF lines.
std::string Ini(const std::vector<std::string>& lines);

}  // namespace e2e
