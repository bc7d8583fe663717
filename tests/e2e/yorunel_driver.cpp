#include "tests/e2e/yorunel_driver.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>

using namespace testing_support;

namespace e2e {

YorunelProcess::YorunelProcess() : YorunelProcess(BuildDir() + "Yorunel.exe", "TKorvanMain") {}

YorunelProcess::YorunelProcess(const std::string& program, const char* mainClass)
    : program_(program), mainClass_(mainClass), folder_(new TempFolder("yorunel_e2e")),
      copy_(folder_->File(program.substr(program.rfind('\\') + 1))) {
    if (!CopyFileA(program_.c_str(), copy_.c_str(), FALSE))
        std::fprintf(stderr, "copying %s: error %lu\n", program_.c_str(), GetLastError());
}

YorunelProcess::~YorunelProcess() {
    if (info_.hProcess) {
        if (Running()) {
            TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, 10000);
        }
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
}

void YorunelProcess::WriteIni(const std::string& text) const {
    WriteFileBytes(IniPath(), text);
}

std::string YorunelProcess::ReadIni() const {
    return ReadFileBytes(IniPath());
}

bool YorunelProcess::Start(const std::string& arguments) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    std::string commandLine = "\"" + copy_ + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    // Once in a clean run a start failed at once, before the program ran a
    // line: the reason is logged and the start tried again, briefly, with
    // the program copied again if its copy is missing.
    return WaitUntil(
        [&] {
            if (GetFileAttributesA(copy_.c_str()) == INVALID_FILE_ATTRIBUTES &&
                !CopyFileA(program_.c_str(), copy_.c_str(), FALSE)) {
                std::fprintf(stderr, "copying %s: error %lu\n", program_.c_str(), GetLastError());
                return false;
            }
            if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, Folder().c_str(),
                               &startup, &info_))
                return true;
            std::fprintf(stderr, "CreateProcess %s: error %lu\n", commandLine.c_str(), GetLastError());
            return false;
        },
        5000);
}

bool YorunelProcess::Running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND YorunelProcess::MainWindow(DWORD timeoutMs) {
    if (!main_) {
        WaitUntil(
            [&] {
                const auto found = FindTopWindows(mainClass_, nullptr, ProcessId());
                main_ = found.empty() ? nullptr : found.front();
                return main_ != nullptr;
            },
            timeoutMs);
    }
    return main_;
}

std::vector<HWND> YorunelProcess::UtilityWindows() const {
    std::vector<HWND> windows;
    HWND window = nullptr;
    while ((window = FindWindowExA(HWND_MESSAGE, window, "TUtilityWindow", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == ProcessId())
            windows.push_back(window);
    }
    return windows;
}

bool YorunelProcess::TrayIconPresent() {
    HWND main = MainWindow(0);
    return main && TrayIconOf(main);
}

bool TrayIconOf(HWND window) {
    // A modification without flags succeeds exactly when the icon exists.
    NOTIFYICONDATAA probe = {};
    probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
    probe.hWnd = window;
    probe.uID = 0;
    return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

bool YorunelProcess::WaitReady(DWORD timeoutMs) {
    return MainWindow(timeoutMs) && WaitUntil([&] { return TrayIconPresent(); }, timeoutMs);
}

void YorunelProcess::Tray(UINT mouseMessage) {
    PostMessageA(MainWindow(), WM_TRAYICON, 0, mouseMessage);
}

HWND YorunelProcess::WaitForBox(const char* caption, DWORD timeoutMs) const {
    return WaitForWindow("#32770", caption, ProcessId(), timeoutMs);
}

void YorunelProcess::Close() {
    PostMessageA(MainWindow(), WM_CLOSE, 0, 0);
}

bool YorunelProcess::WaitForExit(DWORD timeoutMs) const {
    return WaitUntil([&] { return !Running(); }, timeoutMs);
}

DWORD YorunelProcess::ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

namespace {

// Runs a tooltip message whose data must live in the tray's own process.
class RemoteBuffer {
public:
    RemoteBuffer(DWORD processId, SIZE_T size) : size_(size) {
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process_)
            base_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemoteBuffer() {
        if (base_)
            VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
        if (process_)
            CloseHandle(process_);
    }
    bool Valid() const { return base_ != nullptr; }
    char* At(SIZE_T offset) const { return base_ + offset; }
    void Write(SIZE_T offset, const void* data, SIZE_T size) const {
        WriteProcessMemory(process_, base_ + offset, data, size, nullptr);
    }
    void Read(SIZE_T offset, void* data, SIZE_T size) const {
        ReadProcessMemory(process_, base_ + offset, data, size, nullptr);
    }

private:
    HANDLE process_ = nullptr;
    char* base_ = nullptr;
    SIZE_T size_;
};

std::vector<HWND> TrayIconWindows() {
    std::vector<HWND> icons;
    for (const char* trayClass : {"__winex11_standalone_tray", "Shell_TrayWnd"}) {
        for (HWND tray : FindTopWindows(trayClass, nullptr)) {
            HWND icon = nullptr;
            while ((icon = FindWindowExA(tray, icon, nullptr, nullptr)) != nullptr)
                if (ClassNameOf(icon).find("tray_icon") != std::string::npos && IsWindowVisible(icon))
                    icons.push_back(icon);
        }
    }
    return icons;
}

}  // namespace

std::vector<std::string> TrayTips() {
    std::vector<std::string> tips;
    const std::vector<HWND> icons = TrayIconWindows();
    for (HWND tooltip : FindTopWindows(TOOLTIPS_CLASSA, nullptr)) {
        DWORD processId = 0;
        GetWindowThreadProcessId(tooltip, &processId);
        RemoteBuffer remote(processId, 4096);
        if (!remote.Valid())
            continue;
        const int count = static_cast<int>(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            TTTOOLINFOW tool = {};
            tool.cbSize = sizeof(tool);
            remote.Write(0, &tool, sizeof(tool));
            SendMessageW(tooltip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(remote.At(0)));
            remote.Read(0, &tool, sizeof(tool));
            bool ofTrayIcon = false;
            for (HWND icon : icons)
                ofTrayIcon = ofTrayIcon || tool.hwnd == icon;
            if (!ofTrayIcon)
                continue;
            WCHAR text[256] = {};
            remote.Write(1024, text, sizeof(text));
            tool.lpszText = reinterpret_cast<LPWSTR>(remote.At(1024));
            remote.Write(0, &tool, sizeof(tool));
            SendMessageW(tooltip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(remote.At(0)));
            remote.Read(1024, text, sizeof(text) - sizeof(WCHAR));
            char ansi[512] = {};
            WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof(ansi), nullptr, nullptr);
            tips.push_back(ansi);
        }
    }
    return tips;
}

bool TrayIconIsGrey() {
    const std::vector<HWND> icons = TrayIconWindows();
    if (icons.empty())
        return false;
    RECT area;
    GetWindowRect(icons.front(), &area);
    int coloured = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const COLORREF c = ScreenPixel(x, y);
            const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
            const int spread = std::max({r, g, b}) - std::min({r, g, b});
            if (spread > 60)
                ++coloured;
        }
    return coloured < 8;
}

HWND WaitForPopupMenu(DWORD timeoutMs) {
    return WaitForWindow("#32768", nullptr, 0, timeoutMs);
}

bool MenuKeys(const std::vector<WORD>& keys, DWORD timeoutMs) {
    HWND menu = WaitForPopupMenu(timeoutMs);
    // The tray menu itself, below its submenus: a closed submenu's window
    // goes with the keys posted to it.
    for (HWND shown : FindTopWindows("#32768", nullptr))
        if (IsWindowVisible(shown))
            menu = shown;
    for (WORD key : keys) {
        const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16;
        // A menu picks its item on the character of Enter, which the key
        // translates to Ctrl's line feed, ignored, while the program still
        // sees Ctrl down from a hotkey pressed just before.
        if (key == VK_RETURN) {
            PostMessageA(menu, WM_CHAR, '\r', scan | 1);
            continue;
        }
        PostMessageA(menu, WM_KEYDOWN, key, scan | 1);
        PostMessageA(menu, WM_KEYUP, key, scan | 0xC0000001);
    }
    return menu != nullptr;
}

bool PopupMenuGone(DWORD timeoutMs) {
    return WaitUntil(
        [] {
            for (HWND menu : FindTopWindows("#32768", nullptr))
                if (IsWindowVisible(menu))
                    return false;
            return true;
        },
        timeoutMs);
}

std::string Ini(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

}  // namespace e2e
