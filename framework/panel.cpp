#include "framework/panel.h"

#include "framework/graphics.h"

TPanel::TPanel(TWinControl* parent, int left, int top, int width, int height) : TWinControl(parent) {
    // Clipped by its siblings: pages lie on one another.
    CreateHandle(WS_EX_CONTROLPARENT, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, ScaledBounds(left, top, width, height),
                 parent->Handle(), "");
    UseParentFont();
}

void TPanel::SetVisible(bool visible) {
    ShowWindow(Handle(), visible ? SW_SHOWNA : SW_HIDE);
}

bool TPanel::Visible() const {
    return (GetWindowLongPtrA(Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
}

void TPanel::MoveTo(int left, int top) {
    SetWindowPos(Handle(), nullptr, ScaleToDpi(left), ScaleToDpi(top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TPanel::BringToFront() {
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}
