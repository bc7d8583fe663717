#include "framework/form.h"

#include <vector>

#include "framework/application.h"
#include "framework/handles.h"

namespace {

struct TModalBlock {
    HWND form;
    std::vector<HWND>* windows;
};

BOOL CALLBACK CollectBlocked(HWND window, LPARAM data) {
    auto* block = reinterpret_cast<TModalBlock*>(data);
    if (window != block->form && IsWindowVisible(window) && IsWindowEnabled(window))
        block->windows->push_back(window);
    return TRUE;
}

}  // namespace

TForm::TForm(TComponent* owner) : TWinControl(owner) {}

void TForm::CreateForm(DWORD exStyle, DWORD style, int width, int height, const std::string& caption,
                       HWND owner) {
    const RECT bounds = {0, 0, width, height};
    CreateHandle(exStyle | WS_EX_CONTROLPARENT, style, bounds, owner, caption.c_str());
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(Font.Handle()), FALSE);
}

void TForm::CreateNew(DWORD exStyle, DWORD style, HWND owner) {
    CreateForm(exStyle, style, 0, 0, "", owner);
}

void TForm::DoCreate() {
    if (OnCreate)
        OnCreate(this);
}

void TForm::SetCaption(const std::string& caption) {
    SetWindowTextA(Handle(), caption.c_str());
}

std::string TForm::Caption() const {
    char buffer[512] = {};
    GetWindowTextA(Handle(), buffer, sizeof(buffer));
    return buffer;
}

bool TForm::Visible() const {
    return HandleAllocated() && IsWindowVisible(Handle());
}

void TForm::Show() {
    if (OnShow)
        OnShow(this);
    if (centred_)
        CenterOnScreen();
    ShowWindow(Handle(), SW_SHOW);
    if (activeControl_ && activeControl_->HandleAllocated())
        SetFocus(activeControl_->Handle());
}

void TForm::Hide() {
    ShowWindow(Handle(), SW_HIDE);
}

void TForm::SetOuterSize(int width, int height) {
    SetWindowPos(Handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::CenterOnScreen() {
    RECT outer;
    GetWindowRect(Handle(), &outer);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int TForm::ShowModal() {
    // The windows this run must block: the owner and every other enabled,
    // visible window of the thread.
    std::vector<HWND> disabled;
    TModalBlock block = {Handle(), &disabled};
    EnumThreadWindows(GetCurrentThreadId(), CollectBlocked, reinterpret_cast<LPARAM>(&block));
    HWND owner = GetWindow(Handle(), GW_OWNER);
    if (owner && IsWindowEnabled(owner))
        disabled.push_back(owner);
    for (HWND window : disabled)
        EnableWindow(window, FALSE);
    // Every way out, a throwing handler's too, gives the windows back.
    const scope_exit restore([&] { EndModal(disabled); });

    ModalResult = mrNone;
    modal_ = true;
    Show();
    SetForegroundWindow(Handle());
    MSG message;
    while (ModalResult == mrNone) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got <= 0) {
            // The application is quitting: leave the quit for the outer loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            ModalResult = mrCancel;
            break;
        }
        Application->ProcessMessage(message);
    }
    if (OnClose)
        OnClose(this);
    return ModalResult;
}

void TForm::EndModal(const std::vector<HWND>& disabled) {
    // Enabled again before hiding, so activation returns to the owner.
    for (HWND window : disabled)
        if (IsWindow(window))
            EnableWindow(window, TRUE);
    if (HandleAllocated())
        Hide();
    modal_ = false;
}

void TForm::Close() {
    if (modal_) {
        ModalResult = mrCancel;
        return;
    }
    if (OnClose)
        OnClose(this);
    Hide();
    if (Application->MainForm() == this)
        Application->Terminate();
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        Close();
        return 0;
    case WM_ACTIVATE:
        // The focus goes back where it was when the form is activated again.
        if (LOWORD(wParam) == WA_INACTIVE) {
            lastFocus_ = GetFocus();
        } else if (lastFocus_ && IsWindow(lastFocus_) && IsChild(Handle(), lastFocus_)) {
            SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(Handle(), &client);
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetDCBrushColor(dc, ColorToRGB(Color));
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        return 1;
    }
    case DM_GETDEFID:
        return defaultButtonId_ ? MAKELRESULT(defaultButtonId_, DC_HASDEFID) : 0;
    case WM_COMMAND:
        // The Escape key of the dialog manager: no control answers it.
        if (lParam == 0 && LOWORD(wParam) == IDCANCEL)
            return 0;
        break;
    default:
        break;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

void TForm::PaintWindow(HDC dc) {
    if (OnPaint)
        OnPaint(this, dc);
}
