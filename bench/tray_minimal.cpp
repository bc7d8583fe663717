// The baseline of the footprint benchmarks: the least a resident tray
// program can be. A hidden top-level window, one tray icon with a tip, and a
// message loop; WM_CLOSE removes the icon and ends it. Nothing else loads.
// With "minute-timer" on its command line it also keeps a timer of one minute
// that does nothing: the least a program that rotates wallpapers must wake.
#include <windows.h>
#include <shellapi.h>

namespace {

constexpr UINT WM_TRAYICON = WM_USER + 200;
NOTIFYICONDATAA trayIcon = {};

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        Shell_NotifyIconA(NIM_DELETE, &trayIcon);
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "YorunelTrayMinimal";
    if (!RegisterClassA(&windowClass))
        return 1;
    // Top-level and never shown, as a resident program's tray owner is.
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "tray minimal", WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, instance, nullptr);
    if (!window)
        return 1;
    trayIcon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    trayIcon.hWnd = window;
    trayIcon.uID = 0;
    trayIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    trayIcon.uCallbackMessage = WM_TRAYICON;
    trayIcon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    lstrcpynA(trayIcon.szTip, "tray minimal", sizeof(trayIcon.szTip));
    if (!Shell_NotifyIconA(NIM_ADD, &trayIcon))
        return 1;
    if (lstrcmpA(commandLine, "minute-timer") == 0 && !SetTimer(window, 1, 60000, nullptr))
        return 1;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
