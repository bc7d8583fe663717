// What Windows 8 and 10 added and Yorunel uses where it is there: the
// headers hide it below _WIN32_WINNT 0x0602 and 0x0A00, and the program
// still starts on Windows 7, so its functions are looked up at run time.
#pragma once

#include <windows.h>
#include <objbase.h>

// A function of a loaded module, or null where this Windows lacks it.
template <typename Proc>
Proc ProcAddress(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// user32, Windows 10 1607.
using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiProc = int(WINAPI*)(int, UINT);

// dwmapi (Vista); DWMWA_CLOAKED (Windows 8) is non-zero while the window
// manager keeps the window from being seen.
using DwmGetWindowAttributeProc = HRESULT(WINAPI*)(HWND, DWORD, void*, DWORD);
constexpr DWORD kDwmwaCloaked = 14;

// Windows 10's virtual desktops.
constexpr CLSID kClsidVirtualDesktopManager = {
    0xaa509086, 0x5ca9, 0x4c25, {0x8f, 0x95, 0x58, 0x9d, 0x3c, 0x07, 0xb4, 0x8a}};
constexpr IID kIidVirtualDesktopManager = {
    0xa5cd92ff, 0x29be, 0x454c, {0x8d, 0x04, 0xd8, 0x28, 0x79, 0xfb, 0x3f, 0x1b}};

// Unless the system headers declared it, for a later Windows.
#ifndef __IVirtualDesktopManager_INTERFACE_DEFINED__
struct IVirtualDesktopManager : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE IsWindowOnCurrentVirtualDesktop(HWND topLevelWindow, BOOL* onCurrentDesktop) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetWindowDesktopId(HWND topLevelWindow, GUID* desktopId) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveWindowToDesktop(HWND topLevelWindow, REFGUID desktopId) = 0;
};
#endif

// Windows 8's wallpaper object, a picture for each monitor.
constexpr CLSID kClsidDesktopWallpaper = {
    0xc2cf3110, 0x460e, 0x4fc1, {0xb9, 0xd0, 0x8a, 0x1c, 0x0c, 0x9c, 0xc4, 0xbd}};
constexpr IID kIidDesktopWallpaper = {
    0xb92b56a9, 0x8b55, 0x4e14, {0x9a, 0x89, 0x01, 0x99, 0xbb, 0xb6, 0xf9, 0x3b}};

#ifndef __IDesktopWallpaper_INTERFACE_DEFINED__
// The positions are the Active Desktop's styles: Center 0 ... Fill 4, Span 5.
using DESKTOP_WALLPAPER_POSITION = int;
struct IDesktopWallpaper : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetWallpaper(LPCWSTR monitorId, LPCWSTR wallpaper) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetWallpaper(LPCWSTR monitorId, LPWSTR* wallpaper) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMonitorDevicePathAt(UINT monitorIndex, LPWSTR* monitorId) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMonitorDevicePathCount(UINT* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMonitorRECT(LPCWSTR monitorId, RECT* displayRect) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetBackgroundColor(COLORREF color) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetBackgroundColor(COLORREF* color) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetPosition(DESKTOP_WALLPAPER_POSITION position) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPosition(DESKTOP_WALLPAPER_POSITION* position) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSlideshow(IUnknown* items) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSlideshow(IUnknown** items) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSlideshowOptions(int options, UINT slideshowTick) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSlideshowOptions(int* options, UINT* slideshowTick) = 0;
    virtual HRESULT STDMETHODCALLTYPE AdvanceSlideshow(LPCWSTR monitorId, int direction) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStatus(int* state) = 0;
    virtual HRESULT STDMETHODCALLTYPE Enable(BOOL enable) = 0;
};
#endif
