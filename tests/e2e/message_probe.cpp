// A message hook that the tests set on a thread of the program under test:
// the system loads this library into that process and calls the hook for
// every message the thread takes from its queue. Each WM_SYSCOMMAND and
// WM_TIMER taken, each WM_NULL carrying kProbeMark (which tells that the
// hook runs), and each activation of a window of the thread (a second hook,
// on the messages sent) is appended to the file named by YORUNEL_PROBE_LOG;
// a WM_NULL sent with kProbeMenuItems logs the open tray menu's wallpapers.
#include <windows.h>

#include <cstdio>

#include "tests/e2e/message_probe.h"

namespace {

void Log(const char* line) {
    char path[2048];
    const DWORD length = GetEnvironmentVariableA("YORUNEL_PROBE_LOG", path, sizeof(path));
    if (length == 0 || length >= sizeof(path))
        return;
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line, lstrlenA(line), &written, nullptr);
    CloseHandle(file);
}

void LogItems(HMENU menu, int depth) {
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
        char text[512] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
        char line[600];
        std::snprintf(line, sizeof(line), "item %d %d %s\n", depth,
                      (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) ? 1 : 0, text);
        Log(line);
        LogItems(GetSubMenu(menu, i), depth + 1);
    }
}

BOOL CALLBACK LogMenuWindow(HWND window, LPARAM) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof(name));
    if (lstrcmpA(name, "#32768") != 0 || !IsWindowVisible(window))
        return TRUE;
    // The menu of a popup window can be read in its own process only.
    auto menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
    LogItems(menu ? GetSubMenu(menu, 0) : nullptr, 0);
    return FALSE;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MessageProbe(int code, WPARAM removal, LPARAM data) {
    const auto* message = reinterpret_cast<const MSG*>(data);
    // A peek that leaves the message in the queue sees it again later.
    if (code == HC_ACTION && removal == PM_REMOVE && message) {
        char line[160];
        if (message->message == WM_SYSCOMMAND || message->message == WM_TIMER) {
            std::snprintf(line, sizeof(line), "%s %p %llx %llx\n",
                          message->message == WM_TIMER ? "WM_TIMER" : "WM_SYSCOMMAND", static_cast<void*>(message->hwnd),
                          static_cast<unsigned long long>(message->wParam),
                          static_cast<unsigned long long>(message->lParam));
            Log(line);
        } else if (message->message == WM_NULL && message->wParam == kProbeMark) {
            std::snprintf(line, sizeof(line), "mark %p\n", static_cast<void*>(message->hwnd));
            Log(line);
        }
    }
    return CallNextHookEx(nullptr, code, removal, data);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK ActivationProbe(int code, WPARAM sent, LPARAM data) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(data);
    if (code == HC_ACTION && message && message->message == WM_NULL && message->wParam == kProbeMenuItems) {
        EnumThreadWindows(GetCurrentThreadId(), LogMenuWindow, 0);
        Log("items end\n");
    }
    if (code == HC_ACTION && message && message->message == WM_ACTIVATE && LOWORD(message->wParam) != WA_INACTIVE) {
        char line[160];
        std::snprintf(line, sizeof(line), "WM_ACTIVATE %p 1 0\n", static_cast<void*>(message->hwnd));
        Log(line);
    }
    return CallNextHookEx(nullptr, code, sent, data);
}
