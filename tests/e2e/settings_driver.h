// Finding and working the settings dialog and the window picker of a running
// Yorunel from outside, as a user's clicks and keys would.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "tests/e2e/yorunel_driver.h"

namespace e2e {

inline std::vector<HWND> Descendants(HWND root, const char* className) {
    struct Search {
        const char* className;
        std::vector<HWND> found;
    } search = {className, {}};
    EnumChildWindows(
        root,
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (!s->className || testing_support::ClassNameOf(window) == s->className)
                s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The first descendant of a class with exactly this text, or null.
inline HWND ChildByText(HWND root, const char* className, const std::string& text) {
    for (HWND window : Descendants(root, className))
        if (testing_support::WindowText(window) == text)
            return window;
    return nullptr;
}

// The first control of a class inside the group box with this title.
inline HWND InGroup(HWND root, const std::string& groupTitle, const char* className, int nth = 0) {
    HWND group = ChildByText(root, "Button", groupTitle);
    if (!group)
        return nullptr;
    const auto found = Descendants(group, className);
    return nth < static_cast<int>(found.size()) ? found[static_cast<std::size_t>(nth)] : nullptr;
}

// A click on a button, as the mouse gives it.
inline void Click(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
}

// Opens the settings dialog from the tray menu ("設定", the second item)
// with the button that opens the menu.
inline HWND OpenSettings(YorunelProcess& yorunel, UINT menuButton = WM_RBUTTONDOWN) {
    yorunel.Tray(menuButton);
    if (!MenuKeys({VK_DOWN, VK_DOWN, VK_RETURN}))
        return nullptr;
    HWND dialog = testing_support::WaitForWindow("TKorvanProp", nullptr, yorunel.ProcessId());
    if (dialog)
        testing_support::WaitPainted(dialog);
    return dialog;
}

inline void SelectNode(HWND dialog, int index) {
    HWND tree = Descendants(dialog, WC_TREEVIEWA).front();
    auto node = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    for (int i = 0; i < index && node; ++i)
        node = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(node)));
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
}

// The frame titles of the visible pages.
inline std::vector<std::string> VisiblePages(HWND dialog) {
    std::vector<std::string> titles;
    for (HWND page : Descendants(dialog, "TPanel"))
        if (IsWindowVisible(page))
            titles.push_back(testing_support::WindowText(GetWindow(page, GW_CHILD)));
    return titles;
}

inline bool WaitClosed(HWND window, DWORD timeoutMs = 10000) {
    return testing_support::WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

// Puts the window's dialog in front and waits until the keyboard focus is on the window.
inline bool Focus(HWND window) {
    SetForegroundWindow(GetAncestor(window, GA_ROOT));
    return testing_support::WaitUntil([&] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus == window;
    });
}

// Types Ctrl+Alt+key into the hotkey field of the group with this title;
// true once the field holds it.
inline bool TypeCtrlAlt(HWND dialog, const std::string& groupTitle, WORD key) {
    HWND field = InGroup(dialog, groupTitle, HOTKEY_CLASSA);
    if (!field || !Focus(field))
        return false;
    testing_support::PressKeys({VK_CONTROL, VK_MENU, key});
    return testing_support::WaitUntil(
        [&] { return SendMessageA(field, HKM_GETHOTKEY, 0, 0) == MAKEWORD(key, HOTKEYF_CONTROL | HOTKEYF_ALT); });
}

// A left click with the mouse at a point of the window's client area.
inline void ClickAt(HWND window, int x, int y) {
    POINT at = {x, y};
    ClientToScreen(window, &at);
    SetCursorPos(at.x, at.y);
    INPUT press[2] = {};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, press, sizeof(INPUT));
}

inline bool FocusIsOn(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus == window;
}

}  // namespace e2e
