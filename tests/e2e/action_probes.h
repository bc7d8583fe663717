// What the wallpaper and hotkey-action tests use to see what the program
// does to the desktop: the recording Active Desktop object, a message hook
// in the program, a recording stand-in for a started program, test windows
// that count their messages, the five action hotkeys and the wallpaper menu.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "tests/e2e/yorunel_driver.h"

namespace e2e {

// The folder of the running test program, where the test helpers are built,
// with a trailing "\".
std::string HelperFolder();
// Code page 932 text as UTF-8.
std::string Utf8(const std::string& text);
// The lines of a text file; an absent file has none.
std::vector<std::string> ReadLines(const std::string& path);

// While it lives, the recording object (wallpaper_recorder.dll) is the
// Active Desktop class of the prefix's machine registry, and Windows 8's
// wallpaper class with two monitors, and programs started afterwards log to
// this object's file. The previous registration
// comes back at the end. The object is found in the folder given (the
// benchmarks run from a folder of their own).
class WallpaperRecorder {
public:
    explicit WallpaperRecorder(const std::string& helperFolder = HelperFolder());
    ~WallpaperRecorder();
    WallpaperRecorder(const WallpaperRecorder&) = delete;
    WallpaperRecorder& operator=(const WallpaperRecorder&) = delete;

    bool Registered() const { return registered_; }
    // The failure setting of the object for programs started afterwards
    // ("create:<hex>[:<times>]", "interface[:<times>]", "set:<hex>[:<times>]"
    // or "apply:<hex>[:<times>]"; empty for none).
    void FailWith(const std::string& setting) const;
    // While blocked, SetWallpaper does not return, in running programs too.
    void Block(bool blocked) const;
    std::string LogPath() const { return log_.File("wallpaper.log"); }
    std::vector<std::string> Lines() const { return ReadLines(LogPath()); }
    // Waits until the log has at least count lines; true when it has.
    bool WaitForLines(std::size_t count, DWORD timeoutMs = 10000) const;

private:
    testing_support::TempFolder log_;
    bool registered_ = false;
    bool hadServer_ = false;
    std::string oldServer_;
    bool hadModel_ = false;
    std::string oldModel_;
};

// The three lines of one wallpaper set and applied, the object released.
std::vector<std::string> WallpaperSet(const std::string& utf8Path);

// A message hook (message_probe.dll) on the thread of a window of another
// process, logging the WM_SYSCOMMAND and WM_TIMER messages that thread takes
// and the activations of its windows. Make it
// before starting the program, whose hook finds its log through the
// environment, and hook the window once it is there.
class MessageProbe {
public:
    MessageProbe();
    ~MessageProbe();
    MessageProbe(const MessageProbe&) = delete;
    MessageProbe& operator=(const MessageProbe&) = delete;

    bool Hook(HWND window);
    std::vector<std::string> Lines() const { return ReadLines(log_.File("probe.log")); }
    // Posts a marked WM_NULL to the window and waits until the hook has
    // logged it: every message queued before it has been taken by then.
    bool Mark(DWORD timeoutMs = 10000) const;
    // The line the probe writes for a message to the window hooked, or to another.
    std::string Line(UINT message, WPARAM wParam, LPARAM lParam, HWND window = nullptr) const;
    // How many of its lines are this one.
    int Count(const std::string& line) const;
    void Unhook();
    // With the program's main thread hooked for it: opens the tray menu with
    // the mouse message, reads the items of its first submenu ("<depth>
    // <checked> <caption>", nested ones after their item) and closes it
    // again; empty when no menu opened.
    std::vector<std::string> WallpaperItems(YorunelProcess& yorunel, UINT openWith = WM_RBUTTONDOWN);
    // Waits until the wallpaper submenu lists these captions at depth 0, checked or not.
    bool WaitWallpaperItems(YorunelProcess& yorunel, const std::vector<std::string>& captions);

private:
    testing_support::TempFolder log_;
    HWND window_ = nullptr;
    HMODULE module_ = nullptr;
    HHOOK hook_ = nullptr;
    HHOOK activationHook_ = nullptr;
    mutable int marks_ = 0;
};

// command_recorder.exe put in place of a program: logs one line per start.
class CommandRecorder {
public:
    CommandRecorder();
    // Copies the recorder to path, for programs started afterwards; the
    // file there before comes back at the end. False when the copy failed.
    bool ReplaceProgram(const std::string& path);
    ~CommandRecorder();
    CommandRecorder(const CommandRecorder&) = delete;
    CommandRecorder& operator=(const CommandRecorder&) = delete;

    std::vector<std::string> Lines() const { return ReadLines(log_.File("command.log")); }
    bool WaitForLines(std::size_t count, DWORD timeoutMs = 10000) const;

private:
    testing_support::TempFolder log_;
    std::vector<std::pair<std::string, std::string>> replaced_;  // path, saved copy
    struct Override {
        std::string name;
        bool existed;
        std::string value;
    };
    std::vector<Override> overrides_;
};

// A top-level window of this thread that counts the messages it gets and
// keeps the parameters of the last one of each kind. WM_CLOSE is counted
// and not acted on.
class TestWindow {
public:
    TestWindow(const std::string& title, const char* className = "YorunelTestWindow",
               DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND Handle() const { return window_; }
    int Count(UINT message) const;
    WPARAM LastWParam(UINT message) const;
    LPARAM LastLParam(UINT message) const;
    // True when the last one came by SendMessage rather than from the queue.
    bool WasSent(UINT message) const;
    // Paints what is pending, then forgets every count.
    void Settle();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    struct Seen {
        int count = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
        bool sent = false;
    };
    HWND window_ = nullptr;
    std::map<UINT, Seen> seen_;
};

// The five hotkeys of the actions, indexes 1 to 5, as settings file lines
// under [HotKey] ("Paint=Ctrl+Alt+P" ...).
std::vector<std::string> ActionHotKeyLines();
// A settings file with the five hotkeys, the further [HotKey] lines given,
// the wallpaper timer's minutes and the left button pausing.
std::string ActionsIni(const std::vector<std::string>& extra = {}, int minutes = 0);
// Presses the combination of hotkey 1 to 5.
void PressAction(int index);
// Presses the redraw hotkey and waits until the window has been painted:
// every hotkey pressed before it has then been handled by the program.
bool ActionsHandled(TestWindow& window, DWORD timeoutMs = 10000);

// Picks an item of the "壁紙" submenu with the keyboard: opens the tray
// menu with the mouse message, Down to "壁紙", Right into the submenu, then
// Down `downs` times, or Up once when downs is negative, and Enter.
bool PickWallpaperItem(YorunelProcess& yorunel, int downs, UINT openWith = WM_RBUTTONDOWN);

// The names of a folder in the order the directory search returns them.
std::vector<std::string> DirectoryOrder(const std::string& folder);

}  // namespace e2e
