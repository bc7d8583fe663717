#include "framework/static_text.h"

#include "framework/control_ids.h"
#include "framework/graphics.h"

TStaticText::TStaticText(TWinControl* parent, const std::string& caption, int left, int top) : TWinControl(parent) {
    CreateSystemControl("STATIC", 0, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, ScaledBounds(left, top, 0, 0),
                        parent->Handle(), caption.c_str(), NextControlId());
    UseParentFont();
    // Sized to its text in its own font, as a label sizes itself.
    HDC dc = GetDC(Handle());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(Handle(), WM_GETFONT, 0, 0)));
    RECT text = {};
    DrawTextA(dc, caption.c_str(), -1, &text, DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(Handle(), dc);
    SetWindowPos(Handle(), nullptr, 0, 0, text.right, text.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
