#include "framework/tray_icon.h"

#include <cstring>

#include "framework/common_controls.h"
#include "framework/win10_api.h"

namespace {

#ifndef _WIN64
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "the tray record is the version-1 record");
#endif

constexpr unsigned kRetryInterval = 3000;
// Posted to the owner so that the retry timer is destroyed outside its own tick.
constexpr UINT WM_TRAYRETRYDONE = WM_APP + 1;

// Under UIPI a program run as administrator gets no message from Explorer
// unless it allows it (Windows 7 and later; looked up, older ones lack it).
void AllowFromExplorer(HWND window, UINT message) {
    using FilterProc = BOOL(WINAPI*)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);
    if (const auto filter = ProcAddress<FilterProc>(GetModuleHandleA("user32.dll"), "ChangeWindowMessageFilterEx"))
        filter(window, message, MSGFLT_ALLOW, nullptr);
}

// The small-icon size at the task bar's DPI. The task bar follows the scale
// of its monitor (Windows 10 1607 and later), while a system-aware program's
// own metrics keep the scale it started with.
int TaskbarIconSize() {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    const auto dpiOf = ProcAddress<GetDpiForWindowProc>(user32, "GetDpiForWindow");
    const auto metricAt = ProcAddress<GetSystemMetricsForDpiProc>(user32, "GetSystemMetricsForDpi");
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    const UINT dpi = dpiOf && metricAt && taskbar ? dpiOf(taskbar) : 0;
    return dpi ? metricAt(SM_CXSMICON, dpi) : GetSystemMetrics(SM_CXSMICON);
}

}  // namespace

TTrayIcon::TTrayIcon(TWinControl* owner, UINT callbackMessage)
    : TComponent(owner),
      ownerWindow_(owner),
      record_(new NOTIFYICONDATAA()),
      taskbarCreated_(RegisterWindowMessageA("TaskbarCreated")) {
    NOTIFYICONDATAA& record = *record_;
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = owner->Handle();
    record.uID = 0;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = callbackMessage;
    AllowFromExplorer(record.hWnd, callbackMessage);
    AllowFromExplorer(record.hWnd, taskbarCreated_);
}

TTrayIcon::~TTrayIcon() = default;

void TTrayIcon::SetState(int iconId, const char* tip) {
    iconId_ = iconId;
    ReloadIcon();
    std::memset(record_->szTip, 0, sizeof(record_->szTip));
    lstrcpynA(record_->szTip, tip, sizeof(record_->szTip));
}

void TTrayIcon::Show() {
    wanted_ = true;
    if (Add()) {
        StopRetrying();
        return;
    }
    // At logon the task bar may not be there yet, or may not answer in time;
    // "TaskbarCreated" comes only when one is created later.
    if (!retry_) {
        retry_ = new TTimer(this);
        retry_->OnTimer = [this](TComponent*) {
            if (Add()) {
                retry_->SetInterval(0);
                PostMessageA(ownerWindow_->Handle(), WM_TRAYRETRYDONE, 0, 0);
            }
        };
    }
    retry_->SetInterval(kRetryInterval);
}

void TTrayIcon::Update() {
    if (!wanted_ || Shell_NotifyIconA(NIM_MODIFY, record_.get()))
        return;
    Show();
}

void TTrayIcon::Hide() {
    wanted_ = false;
    StopRetrying();
    Shell_NotifyIconA(NIM_DELETE, record_.get());
}

bool TTrayIcon::HandleMessage(UINT message) {
    // A system-aware program is sent no WM_DPICHANGED: a new scale is seen
    // as a new icon size at these, which the owner handles as well.
    if (message == WM_DISPLAYCHANGE || message == WM_SETTINGCHANGE) {
        if (wanted_ && TaskbarIconSize() != iconSize_) {
            ReloadIcon();
            Update();
        }
        return false;
    }
    if (message == WM_TRAYRETRYDONE) {
        if (retry_ && retry_->Interval() == 0)
            StopRetrying();
        return true;
    }
    if (message != taskbarCreated_ || taskbarCreated_ == 0)
        return false;
    // A new task bar has forgotten every icon; it gets ours again, loaded
    // anew only when the task bar's scale changed.
    if (wanted_) {
        if (TaskbarIconSize() != iconSize_)
            ReloadIcon();
        Show();
    }
    return true;
}

void TTrayIcon::ReloadIcon() {
    // The tray shrinks a larger image, blurred; it keeps a copy of this one.
    iconSize_ = TaskbarIconSize();
    icon_.reset(LoadSmallIcon(iconId_, iconSize_));
    record_->hIcon = icon_.get();
}

bool TTrayIcon::Add() {
    // An icon still there from before counts as added.
    return Shell_NotifyIconA(NIM_ADD, record_.get()) || Shell_NotifyIconA(NIM_MODIFY, record_.get());
}

void TTrayIcon::StopRetrying() {
    delete retry_;
    retry_ = nullptr;
}
