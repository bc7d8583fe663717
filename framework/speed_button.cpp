#include "framework/speed_button.h"

#include <commctrl.h>

#include "framework/common_controls.h"
#include "framework/graphics.h"

TSpeedButton::TSpeedButton(TWinControl* parent, int left, int top, int width, int height, const char* glyph,
                           const std::string& hint)
    : TWinControl(parent), hint_(hint) {
    glyph_.reset(static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), glyph, IMAGE_BITMAP, 0, 0, 0)));
    // Not a tab stop and never focused: the focus stays where the user left it.
    CreateHandle(0, WS_CHILD | WS_VISIBLE, ScaledBounds(left, top, width, height), parent->Handle(), "");
    InitCommonControls(ICC_BAR_CLASSES);
    tooltip_.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0,
                                   0, 0, 0, Handle(), nullptr, GetModuleHandleA(nullptr), nullptr));
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(Handle());
    tool.lpszText = const_cast<char*>(hint_.c_str());
    SendMessageA(tooltip_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void TSpeedButton::SetEnabled(bool enabled) {
    EnableWindow(Handle(), enabled);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TSpeedButton::Paint(HDC dc) {
    RECT client;
    GetClientRect(Handle(), &client);
    DrawFrameControl(dc, &client, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed_ ? DFCS_PUSHED : 0));
    BITMAP info = {};
    if (!glyph_ || !GetObjectA(glyph_.get(), sizeof(info), &info))
        return;
    const int size = info.bmHeight;
    const int source = IsWindowEnabled(Handle()) ? 0 : size;
    const int x = (client.right - size) / 2 + (pressed_ ? 1 : 0);
    const int y = (client.bottom - size) / 2 + (pressed_ ? 1 : 0);
    const unique_hdc image(CreateCompatibleDC(dc));
    const selected_object imageGlyph(image.get(), glyph_.get());
    // A mask of the transparent colour: the face shows through it.
    const unique_hdc mask(CreateCompatibleDC(dc));
    const unique_hbitmap maskBitmap(CreateBitmap(size, size, 1, 1, nullptr));
    const selected_object maskImage(mask.get(), maskBitmap.get());
    SetBkColor(image.get(), GetPixel(image.get(), 0, size - 1));
    BitBlt(mask.get(), 0, 0, size, size, image.get(), source, 0, SRCCOPY);
    SetBkColor(dc, RGB(255, 255, 255));
    SetTextColor(dc, RGB(0, 0, 0));
    BitBlt(dc, x, y, size, size, image.get(), source, 0, SRCINVERT);
    BitBlt(dc, x, y, size, size, mask.get(), 0, 0, SRCAND);
    BitBlt(dc, x, y, size, size, image.get(), source, 0, SRCINVERT);
}

LRESULT TSpeedButton::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        const paint_dc dc(Handle());
        Paint(dc.get());
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetCapture(Handle());
        pressed_ = true;
        InvalidateRect(Handle(), nullptr, FALSE);
        return 0;
    case WM_LBUTTONUP: {
        if (!pressed_)
            return 0;
        ReleaseCapture();
        pressed_ = false;
        InvalidateRect(Handle(), nullptr, FALSE);
        RECT client;
        GetClientRect(Handle(), &client);
        const POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (PtInRect(&client, at) && OnClick)
            OnClick(this);
        return 0;
    }
    case WM_CAPTURECHANGED:
        pressed_ = false;
        InvalidateRect(Handle(), nullptr, FALSE);
        break;
    default:
        break;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}
