#include "tests/support/test_support.h"

#include <cstdio>
#include <cstdlib>

namespace testing_support {

std::string WinPath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string BuildDir() {
    const char* build = std::getenv("YORUNEL_BUILD");
    std::string path = build ? WinPath(build) : std::string(".");
    if (path.back() != '\\')
        path += '\\';
    return path;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        PumpMessages();
        if (condition())
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, pollMs, QS_ALLINPUT);
    }
}

TempFolder::TempFolder(const std::string& prefix) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    static unsigned counter = 0;
    for (;;) {
        path_ = std::string(temp) + prefix + "_" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(GetTickCount64()) + "_" + std::to_string(++counter);
        if (CreateDirectoryA(path_.c_str(), nullptr))
            break;
    }
}

TempFolder::~TempFolder() {
    RemoveTree(path_);
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ReadFileBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void HoldKeys(const std::vector<WORD>& keys, bool down) {
    std::vector<INPUT> inputs(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        // With the scan code a real keyboard sends: controls that read it from
        // WM_CHAR (the hotkey field does) see the right key.
        const WORD code = keys[down ? i : keys.size() - 1 - i];
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = code;
        inputs[i].ki.wScan = static_cast<WORD>(MapVirtualKeyA(code, MAPVK_VK_TO_VSC));
        inputs[i].ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void PressKeys(const std::vector<WORD>& keys) {
    HoldKeys(keys, true);
    HoldKeys(keys, false);
}

bool HotKeyTaken(UINT modifiers, UINT key) {
    constexpr int kProbeId = 0xBFFF;
    if (!RegisterHotKey(nullptr, kProbeId, modifiers, key))
        return true;
    UnregisterHotKey(nullptr, kProbeId);
    return false;
}

std::vector<HWND> FindTopWindows(const char* className, const char* title, DWORD processId) {
    std::vector<HWND> found;
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, className, title)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (processId == 0 || owner == processId)
            found.push_back(window);
    }
    return found;
}

HWND WaitForWindow(const char* className, const char* title, DWORD processId, DWORD timeoutMs) {
    HWND result = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : FindTopWindows(className, title, processId))
                if (IsWindowVisible(window)) {
                    result = window;
                    return true;
                }
            return false;
        },
        timeoutMs);
    return result;
}

std::string WindowText(HWND window) {
    // WM_GETTEXT itself: GetWindowText reads only captions of other processes' windows.
    char buffer[4096] = {};
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof(buffer), reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    return buffer;
}

std::string ClassNameOf(HWND window) {
    char buffer[256] = {};
    GetClassNameA(window, buffer, sizeof(buffer));
    return buffer;
}

std::string MessageBoxText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? WindowText(text) : std::string();
}

void ClickDialogButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

namespace {

// True while the window or a visible window inside it has a part to paint.
bool PaintPending(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE))
        return true;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child) && PaintPending(child))
            return true;
    return false;
}

}  // namespace

bool WaitPainted(HWND window, DWORD timeoutMs) {
    return WaitUntil(
        [&] {
            if (PaintPending(window))
                return false;
            // Menus have no update region to wait for: wait for their
            // pixels to leave the black of the empty test desktop.
            RECT area;
            GetWindowRect(window, &area);
            const int y = (area.top + area.bottom) / 2;
            bool drawn = false;
            for (int x = area.left + 2; x < area.right && !drawn; x += 4)
                drawn = ScreenPixel(x, y) != RGB(0, 0, 0);
            return drawn;
        },
        timeoutMs);
}

BoxWatcher::BoxWatcher(int button, DWORD timeoutMs) : button_(button), timeoutMs_(timeoutMs) {
    thread_ = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
}

BoxWatcher::~BoxWatcher() {
    Join();
}

bool BoxWatcher::Join() {
    if (thread_) {
        WaitForSingleObject(thread_, timeoutMs_ + 5000);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    return seen_;
}

DWORD WINAPI BoxWatcher::Watch(LPVOID self) {
    auto* watcher = static_cast<BoxWatcher*>(self);
    HWND box = WaitForWindow("#32770", nullptr, GetCurrentProcessId(), watcher->timeoutMs_);
    if (!box)
        return 0;
    watcher->seen_ = true;
    watcher->caption = WindowText(box);
    watcher->text = MessageBoxText(box);
    watcher->owner = GetWindow(box, GW_OWNER);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassNameOf(child) == "Static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            IsWindowVisible(child) && SendMessageA(child, STM_GETICON, 0, 0) != 0)
            watcher->hasIcon = true;
    ClickDialogButton(box, watcher->button_);
    return 0;
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

bool RegisterLinkRecorder(const std::string& recorder, const std::string& log) {
    const char* const fileClass = "Yorunel.TestLink";
    auto setDefault = [](const std::string& path, const std::string& value) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return false;
        const bool set = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                        static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
        RegCloseKey(key);
        return set;
    };
    const std::string command = "\"" + recorder + "\" \"%1\"";
    SetEnvironmentVariableA("YORUNEL_COMMAND_LOG", log.c_str());
    bool done = true;
    for (const std::string& name : {std::string("mailto"), std::string("http"), std::string(fileClass)})
        done = setDefault("Software\\Classes\\" + name + "\\shell\\open\\command", command) && done;
    return setDefault(std::string("Software\\Classes\\") + kLinkFileType, fileClass) && done;
}

std::vector<std::string> OpenedTargets(const std::string& log) {
    std::vector<std::string> targets;
    const std::string text = ReadFileBytes(log);
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        // module=...|command="<recorder>" "<target>"|show=...
        const std::string line = text.substr(start, end - start);
        const std::size_t close = line.rfind("\"|show=");
        const std::size_t open = close == std::string::npos || close == 0 ? std::string::npos : line.rfind('"', close - 1);
        targets.push_back(open == std::string::npos ? line : line.substr(open + 1, close - open - 1));
    }
    return targets;
}

namespace {

// A checksum of what the display shows now.
unsigned long long ScreenChecksum() {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    unsigned long long sum = 1469598103934665603ull;
    const auto* pixels = static_cast<const unsigned*>(bits);
    for (int i = 0; i < width * height; ++i)
        sum = (sum ^ pixels[i]) * 1099511628211ull;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return sum;
}

}  // namespace

void SaveScreenshot(const std::string& name) {
    // Windows of other processes reach the display a little after they have
    // painted: wait until it has stopped changing.
    unsigned long long last = ScreenChecksum();
    int same = 0;
    WaitUntil(
        [&] {
            const unsigned long long now = ScreenChecksum();
            same = now == last ? same + 1 : 0;
            last = now;
            return same >= 3;
        },
        3000);
    // What the X display shows, windows of every process included: Wine can
    // start the Unix screenshot tool directly.
    const char* build = std::getenv("YORUNEL_BUILD");
    if (!build)
        return;
    const std::string folder = std::string(build) + "/screenshots";
    CreateDirectoryA(WinPath(folder).c_str(), nullptr);
    const std::string file = folder + "/" + name + ".png";
    DeleteFileA(WinPath(file).c_str());
    // Wine does not wait for a Unix program's end: the file appears, under
    // its name, only once it is complete.
    if (StartUnixTool("/bin/sh -c \"/usr/bin/import -window root png:'" + file + ".part' && mv '" + file + ".part' '" +
                      file + "'\""))
        WaitUntil([&] { return FileExists(WinPath(file)); }, 20000);
}

bool StartUnixTool(std::string command) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return true;
}

}  // namespace testing_support
