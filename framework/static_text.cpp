#include "framework/static_text.h"

#include "framework/handles.h"
#include "framework/wide_text.h"

TStaticText::TStaticText(TWinControl* parent, const char* caption, int left, int top) : TWinControl(parent) {
    CreateChild(parent->Handle(), {"STATIC", 0, SS_LEFT | SS_NOPREFIX, left, top, 0, 0, caption});
    // Sized to its text in its own font, as a label sizes itself.
    RECT text = {};
    {
        const window_dc dc(Handle());
        const selected_object font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(Handle(), WM_GETFONT, 0, 0)));
        DrawTextW(dc.get(), WideText(caption).data(), -1, &text, DT_CALCRECT | DT_NOPREFIX);
    }
    SetWindowPos(Handle(), nullptr, 0, 0, text.right, text.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
