#include "tests/e2e/action_probes.h"

#include <algorithm>
#include <cstdio>

#include "tests/e2e/message_probe.h"

using namespace testing_support;

namespace e2e {

namespace {

const char* const kActiveDesktopServerKey =
    "Software\\Classes\\CLSID\\{75048700-EF1F-11D0-9888-006097DEACF9}\\InprocServer32";

// Windows 8's wallpaper object, which Wine lacks: the recorder's second class.
const char* const kMonitorsClassKey = "Software\\Classes\\CLSID\\{C2CF3110-460E-4FC1-B9D0-8A1C0C9CC4BD}";

const char* const kWineOverridesKey = "Software\\Wine\\DllOverrides";

bool ReadRegistryText(HKEY key, const char* name, std::string& value) {
    char buffer[1024] = {};
    DWORD size = sizeof(buffer) - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    value = buffer;
    return true;
}

bool WriteRegistryText(HKEY key, const char* name, const std::string& value) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

struct TAction {
    const char* key;
    const char* text;
    WORD virtualKey;
};
const TAction kActions[] = {
    {"Paint", "Ctrl+Alt+P", 'P'},   {"ScreenSaver", "Ctrl+Alt+S", 'S'}, {"ExitDialog", "Ctrl+Alt+X", 'X'},
    {"Panic", "Ctrl+Alt+N", 'N'},   {"WallPaper", "Ctrl+Alt+W", 'W'},
};

}  // namespace

std::string HelperFolder() {
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string folder = module;
    return folder.substr(0, folder.rfind('\\') + 1);
}

std::string Utf8(const std::string& text) {
    const int wideSize = MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
    MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), wide.data(), wideSize);
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, result.data(), size, nullptr, nullptr);
    return result;
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    const std::string text = ReadFileBytes(path);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

WallpaperRecorder::WallpaperRecorder(const std::string& helperFolder) : log_("yorunel_recorder") {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kActiveDesktopServerKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &key, nullptr) == ERROR_SUCCESS) {
        hadServer_ = ReadRegistryText(key, nullptr, oldServer_);
        hadModel_ = ReadRegistryText(key, "ThreadingModel", oldModel_);
        registered_ = WriteRegistryText(key, nullptr, helperFolder + "wallpaper_recorder.dll") &&
                      WriteRegistryText(key, "ThreadingModel", "Apartment");
        RegCloseKey(key);
    }
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kMonitorsClassKey) + "\\InprocServer32").c_str(), 0, nullptr,
                        0, KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        registered_ = registered_ && WriteRegistryText(key, nullptr, helperFolder + "wallpaper_recorder.dll") &&
                      WriteRegistryText(key, "ThreadingModel", "Apartment");
        RegCloseKey(key);
    }
    SetEnvironmentVariableA("YORUNEL_WALLPAPER_LOG", log_.File("wallpaper.log").c_str());
    SetEnvironmentVariableA("YORUNEL_WALLPAPER_FAIL", nullptr);
    SetEnvironmentVariableA("YORUNEL_WALLPAPER_BLOCK", log_.File("block").c_str());
}

WallpaperRecorder::~WallpaperRecorder() {
    Block(false);
    SetEnvironmentVariableA("YORUNEL_WALLPAPER_BLOCK", nullptr);
    SetEnvironmentVariableA("YORUNEL_WALLPAPER_LOG", nullptr);
    SetEnvironmentVariableA("YORUNEL_WALLPAPER_FAIL", nullptr);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kMonitorsClassKey) + "\\InprocServer32").c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kMonitorsClassKey);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kActiveDesktopServerKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    if (hadServer_)
        WriteRegistryText(key, nullptr, oldServer_);
    else
        RegDeleteValueA(key, nullptr);
    if (hadModel_)
        WriteRegistryText(key, "ThreadingModel", oldModel_);
    else
        RegDeleteValueA(key, "ThreadingModel");
    RegCloseKey(key);
}

void WallpaperRecorder::FailWith(const std::string& setting) const {
    SetEnvironmentVariableA("YORUNEL_WALLPAPER_FAIL", setting.empty() ? nullptr : setting.c_str());
}

void WallpaperRecorder::Block(bool blocked) const {
    if (blocked)
        WriteFileBytes(log_.File("block"), "");
    else
        DeleteFileA(log_.File("block").c_str());
}

bool WallpaperRecorder::WaitForLines(std::size_t count, DWORD timeoutMs) const {
    return WaitUntil([&] { return Lines().size() >= count; }, timeoutMs);
}

std::vector<std::string> WallpaperSet(const std::string& utf8Path) {
    return {"SetWallpaper " + utf8Path, "ApplyChanges 7", "Released"};
}

MessageProbe::MessageProbe() : log_("yorunel_probe") {
    SetEnvironmentVariableA("YORUNEL_PROBE_LOG", log_.File("probe.log").c_str());
}

bool MessageProbe::Hook(HWND window) {
    window_ = window;
    module_ = LoadLibraryA((HelperFolder() + "message_probe.dll").c_str());
    if (!module_)
        return false;
    auto procedure = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module_, kProbeProcedure)));
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    auto activation =
        reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module_, kActivationProcedure)));
    if (procedure && activation && thread) {
        hook_ = SetWindowsHookExA(WH_GETMESSAGE, procedure, module_, thread);
        activationHook_ = SetWindowsHookExA(WH_CALLWNDPROC, activation, module_, thread);
    }
    return hook_ && activationHook_;
}

MessageProbe::~MessageProbe() {
    SetEnvironmentVariableA("YORUNEL_PROBE_LOG", nullptr);
    Unhook();
}

void MessageProbe::Unhook() {
    if (hook_)
        UnhookWindowsHookEx(hook_);
    if (activationHook_)
        UnhookWindowsHookEx(activationHook_);
    if (module_)
        FreeLibrary(module_);
    hook_ = activationHook_ = nullptr;
    module_ = nullptr;
}

bool MessageProbe::Mark(DWORD timeoutMs) const {
    char line[64];
    std::snprintf(line, sizeof(line), "mark %p", static_cast<void*>(window_));
    const std::size_t before = ++marks_ - 1;
    PostMessageA(window_, WM_NULL, kProbeMark, 0);
    return WaitUntil(
        [&] {
            std::size_t marks = 0;
            for (const std::string& logged : Lines())
                marks += logged == line ? 1 : 0;
            return marks > before;
        },
        timeoutMs);
}

std::string MessageProbe::Line(UINT message, WPARAM wParam, LPARAM lParam, HWND window) const {
    const char* name = message == WM_TIMER ? "WM_TIMER" : message == WM_ACTIVATE ? "WM_ACTIVATE" : "WM_SYSCOMMAND";
    char line[160];
    std::snprintf(line, sizeof(line), "%s %p %llx %llx", name, static_cast<void*>(window ? window : window_),
                  static_cast<unsigned long long>(wParam),
                  static_cast<unsigned long long>(lParam));
    return line;
}

int MessageProbe::Count(const std::string& line) const {
    const auto lines = Lines();
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

std::vector<std::string> MessageProbe::WallpaperItems(YorunelProcess& yorunel, UINT openWith) {
    // Hooked for this alone, and the menu read and closed by messages sent,
    // which the menu's loop takes: under load, a menu of a hooked thread
    // has been seen to leave posted keys in its queue for seconds.
    std::vector<std::string> items;
    if (!Hook(yorunel.MainWindow()))
        return items;
    const int ends = Count("items end");
    yorunel.Tray(openWith);
    DWORD_PTR result = 0;
    if (HWND menu = WaitForPopupMenu()) {
        SendMessageTimeoutA(menu, WM_NULL, kProbeMenuItems, 0, SMTO_NORMAL, 10000, &result);
        SendMessageTimeoutA(yorunel.MainWindow(), WM_CANCELMODE, 0, 0, SMTO_NORMAL, 10000, &result);
        PopupMenuGone();
    }
    Unhook();
    int seen = 0;
    for (const std::string& line : Lines()) {
        if (line == "items end" && ++seen > ends)
            return items;
        if (seen == ends && line.rfind("item ", 0) == 0)
            items.push_back(line.substr(5));
    }
    return {};
}

bool MessageProbe::WaitWallpaperItems(YorunelProcess& yorunel, const std::vector<std::string>& captions) {
    return WaitUntil([&] {
        std::vector<std::string> shown;
        for (const std::string& item : WallpaperItems(yorunel))
            if (item.rfind("0 ", 0) == 0)
                shown.push_back(item.substr(4));
        return shown == captions;
    });
}

CommandRecorder::CommandRecorder() : log_("yorunel_commands") {
    SetEnvironmentVariableA("YORUNEL_COMMAND_LOG", log_.File("command.log").c_str());
}

bool CommandRecorder::ReplaceProgram(const std::string& path) {
    // Wine runs its own build of a program of the system folder unless its
    // overrides say to take the file there; Windows has no such key.
    const std::string name = path.substr(path.rfind('\\') + 1);
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kWineOverridesKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        Override old{name, false, std::string()};
        old.existed = ReadRegistryText(key, name.c_str(), old.value);
        overrides_.push_back(old);
        WriteRegistryText(key, name.c_str(), "native");
        RegCloseKey(key);
    }
    const std::string saved = log_.File("saved_" + std::to_string(replaced_.size()));
    const bool existed = FileExists(path);
    if (existed && !CopyFileA(path.c_str(), saved.c_str(), FALSE))
        return false;
    replaced_.emplace_back(path, existed ? saved : std::string());
    return CopyFileA((HelperFolder() + "command_recorder.exe").c_str(), path.c_str(), FALSE) != FALSE;
}

CommandRecorder::~CommandRecorder() {
    SetEnvironmentVariableA("YORUNEL_COMMAND_LOG", nullptr);
    for (auto it = replaced_.rbegin(); it != replaced_.rend(); ++it) {
        if (it->second.empty())
            DeleteFileA(it->first.c_str());
        else
            CopyFileA(it->second.c_str(), it->first.c_str(), FALSE);
    }
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kWineOverridesKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    for (auto it = overrides_.rbegin(); it != overrides_.rend(); ++it) {
        if (it->existed)
            WriteRegistryText(key, it->name.c_str(), it->value);
        else
            RegDeleteValueA(key, it->name.c_str());
    }
    RegCloseKey(key);
}

bool CommandRecorder::WaitForLines(std::size_t count, DWORD timeoutMs) const {
    return WaitUntil([&] { return Lines().size() >= count; }, timeoutMs);
}

TestWindow::TestWindow(const std::string& title, const char* className, DWORD style) {
    WNDCLASSA windowClass = {};
    if (!GetClassInfoA(GetModuleHandleA(nullptr), className, &windowClass)) {
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = className;
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        RegisterClassA(&windowClass);
    }
    window_ = CreateWindowExA(0, className, title.c_str(), style, 100, 100, 320, 200, nullptr, nullptr,
                              GetModuleHandleA(nullptr), this);
}

TestWindow::~TestWindow() {
    if (window_) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

int TestWindow::Count(UINT message) const {
    const auto found = seen_.find(message);
    return found == seen_.end() ? 0 : found->second.count;
}

WPARAM TestWindow::LastWParam(UINT message) const {
    const auto found = seen_.find(message);
    return found == seen_.end() ? 0 : found->second.wParam;
}

LPARAM TestWindow::LastLParam(UINT message) const {
    const auto found = seen_.find(message);
    return found == seen_.end() ? 0 : found->second.lParam;
}

bool TestWindow::WasSent(UINT message) const {
    const auto found = seen_.find(message);
    return found != seen_.end() && found->second.sent;
}

void TestWindow::Settle() {
    WaitPainted(window_);
    PumpMessages();
    seen_.clear();
}

LRESULT CALLBACK TestWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self) {
        Seen& seen = self->seen_[message];
        ++seen.count;
        seen.wParam = wParam;
        seen.lParam = lParam;
        seen.sent = InSendMessage() != FALSE;
    }
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_CLOSE:
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

std::vector<std::string> ActionHotKeyLines() {
    std::vector<std::string> lines;
    for (const TAction& action : kActions)
        lines.push_back(std::string(action.key) + "=" + action.text);
    return lines;
}

std::string ActionsIni(const std::vector<std::string>& extra, int minutes) {
    std::vector<std::string> lines = {"[HotKey]"};
    for (const std::string& line : ActionHotKeyLines())
        lines.push_back(line);
    lines.insert(lines.end(), extra.begin(), extra.end());
    lines.push_back("Time=" + std::to_string(minutes));
    lines.push_back("[Operate]");
    lines.push_back("Mouse=1");
    return Ini(lines);
}

void PressAction(int index) {
    PressKeys({VK_CONTROL, VK_MENU, kActions[index - 1].virtualKey});
}

bool ActionsHandled(TestWindow& window, DWORD timeoutMs) {
    window.Settle();
    PressAction(1);
    return WaitUntil([&] { return window.Count(WM_PAINT) > 0; }, timeoutMs);
}

bool PickWallpaperItem(YorunelProcess& yorunel, int downs, UINT openWith) {
    // The program builds the whole menu before it shows: with thousands of
    // wallpapers that takes seconds on a busy machine. Keys pressed once a
    // menu is shown are taken in order, so only the waits need the room.
    constexpr DWORD kLongMenuMs = 60000;
    yorunel.Tray(openWith);
    if (!MenuKeys({VK_DOWN, VK_RIGHT}, kLongMenuMs))
        return false;
    const bool submenu = WaitUntil([] {
        int visible = 0;
        for (HWND menu : FindTopWindows("#32768", nullptr))
            visible += IsWindowVisible(menu) ? 1 : 0;
        return visible >= 2;
    }, kLongMenuMs);
    if (!submenu) {
        MenuKeys({VK_ESCAPE, VK_ESCAPE});
        PopupMenuGone();
        return false;
    }
    std::vector<WORD> keys(static_cast<std::size_t>(downs < 0 ? 1 : downs), downs < 0 ? VK_UP : VK_DOWN);
    keys.push_back(VK_RETURN);
    return MenuKeys(keys) && PopupMenuGone();
}

std::vector<std::string> DirectoryOrder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

}  // namespace e2e
