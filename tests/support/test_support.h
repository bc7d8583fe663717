// Helpers shared by the Win32 and end-to-end tests under Wine: paths of the
// build, scratch folders, bounded waits, input, windows and screenshots.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// The build folder (YORUNEL_BUILD) as a Windows path, with a trailing "\".
std::string BuildDir();
// A Unix path as the Z: path Wine maps it to.
std::string WinPath(const std::string& unixPath);

// Polls until the condition holds or the time is up; pumps this thread's
// messages in between. Returns the condition's last value. Benchmarks that
// time the wait poll every millisecond.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000, DWORD pollMs = 10);
// Handles every queued message of this thread.
void PumpMessages();

// A fresh folder under the temporary folder, removed with its contents.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "yorunel");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);
void RemoveTree(const std::string& path);

// Keyboard input through SendInput: modifiers down, key, modifiers up.
void PressKeys(const std::vector<WORD>& keys);
// The keys down in order, or up in the reverse order, as a user holds them.
void HoldKeys(const std::vector<WORD>& keys, bool down);
// True when another program holds the combination (RegisterHotKey refused).
bool HotKeyTaken(UINT modifiers, UINT key);

// Top-level windows of a class and/or title (null for any), optionally of one process.
std::vector<HWND> FindTopWindows(const char* className, const char* title, DWORD processId = 0);
HWND WaitForWindow(const char* className, const char* title, DWORD processId = 0, DWORD timeoutMs = 10000);
std::string WindowText(HWND window);
std::string ClassNameOf(HWND window);
// The text of a message box (its static control).
std::string MessageBoxText(HWND box);
// Presses a dialog button by id, as a click does.
void ClickDialogButton(HWND dialog, int id);

// Waits on a thread of its own for a message box of this process, notes
// what it shows and presses one of its buttons.
class BoxWatcher {
public:
    explicit BoxWatcher(int button = IDOK, DWORD timeoutMs = 10000);
    ~BoxWatcher();
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;
    // Waits for the watch to end; true when a box was seen.
    bool Join();

    std::string caption;
    std::string text;
    HWND owner = nullptr;
    bool hasIcon = false;

private:
    static DWORD WINAPI Watch(LPVOID self);
    HANDLE thread_ = nullptr;
    int button_;
    DWORD timeoutMs_;
    bool seen_ = false;
};

// Waits until the window and its children have no part left to paint.
bool WaitPainted(HWND window, DWORD timeoutMs = 10000);
// The file type (extension) the link recorder also opens.
constexpr const char* kLinkFileType = ".ylink";
// Makes the command recorder (command_recorder.exe, a Windows path) the
// program that opens mailto and http links and files of kLinkFileType, in
// the machine's classes, the ones Wine's ShellExecute reads; programs this
// process starts afterwards have it log to the file.
bool RegisterLinkRecorder(const std::string& recorder, const std::string& log);
// The targets the link recorder was started with, one a complete line of its log.
std::vector<std::string> OpenedTargets(const std::string& log);

// Saves the display as <build>/screenshots/<name>.png.
void SaveScreenshot(const std::string& name);
// Starts a Unix program (a full path) from Wine. Wine gives no process to
// wait for: the handle is signalled at once, so the caller waits for what
// the program makes.
bool StartUnixTool(std::string command);
// The colour of a screen pixel.
COLORREF ScreenPixel(int x, int y);

}  // namespace testing_support
