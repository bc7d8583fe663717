#include "framework/graphic_control.h"

#include <windowsx.h>

#include <algorithm>

#include "framework/handles.h"
#include "framework/window.h"

namespace {

TShiftState ShiftOf(WPARAM keys) {
    TShiftState shift = 0;
    if (keys & MK_SHIFT)
        shift |= ssShift;
    if (keys & MK_CONTROL)
        shift |= ssCtrl;
    if (keys & MK_LBUTTON)
        shift |= ssLeft;
    if (keys & MK_RBUTTON)
        shift |= ssRight;
    if (keys & MK_MBUTTON)
        shift |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0)
        shift |= ssAlt;
    return shift;
}

}  // namespace

TGraphicControl::TGraphicControl(TComponent* owner) : TComponent(owner) {}

TGraphicControl::~TGraphicControl() {
    SetParent(nullptr);
}

void TGraphicControl::SetParent(TWinControl* parent) {
    if (parent == parent_)
        return;
    if (parent_) {
        Invalidate();
        if (parent_->mouseControl_ == this)
            parent_->mouseControl_ = nullptr;
        auto& siblings = parent_->graphicControls_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    parent_ = parent;
    if (parent_) {
        parent_->graphicControls_.push_back(this);
        Invalidate();
    }
}

void TGraphicControl::SetBounds(int left, int top, int width, int height) {
    const RECT bounds = {left, top, left + width, top + height};
    if (EqualRect(&bounds, &bounds_))
        return;
    Invalidate();
    bounds_ = bounds;
    Invalidate();
}

void TGraphicControl::SetVisible(bool visible) {
    if (!Assign(visible_, visible))
        return;
    // Erased when hidden: the parent's background comes back.
    if (parent_ && parent_->HandleAllocated())
        InvalidateRect(parent_->Handle(), &bounds_, TRUE);
}

void TGraphicControl::Invalidate() {
    if (visible_ && parent_ && parent_->HandleAllocated())
        InvalidateRect(parent_->Handle(), &bounds_, TRUE);
}

void TGraphicControl::Repaint() {
    Invalidate();
    if (visible_ && parent_ && parent_->HandleAllocated())
        UpdateWindow(parent_->Handle());
}

void TGraphicControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TGraphicControl::MouseMove(TShiftState, int, int) {}

void TGraphicControl::MouseUp(TMouseButton, TShiftState, int, int) {}

void TGraphicControl::MouseEnter() {
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TGraphicControl::MouseLeave() {
    if (OnMouseLeave)
        OnMouseLeave(this);
}

HCURSOR TGraphicControl::CursorHandle(TCursor cursor) {
    switch (cursor) {
    case crArrow:
        return LoadCursorA(nullptr, IDC_ARROW);
    case crHandPoint:
        return LoadCursorA(nullptr, IDC_HAND);
    default:
        return nullptr;
    }
}

TGraphicControl* TGraphicControl::ControlAt(const TWinControl& parent, POINT point) {
    const auto& controls = parent.graphicControls_;
    for (auto it = controls.rbegin(); it != controls.rend(); ++it)
        if ((*it)->visible_ && PtInRect(&(*it)->bounds_, point))
            return *it;
    return nullptr;
}

void TGraphicControl::PaintControls(const TWinControl& parent, HDC dc, const RECT& area) {
    // A copy: a paint handler may add or remove controls.
    const std::vector<TGraphicControl*> controls = parent.graphicControls_;
    for (TGraphicControl* control : controls) {
        RECT overlap;
        if (!control->visible_ || !IntersectRect(&overlap, &control->bounds_, &area))
            continue;
        const saved_dc saved(dc);
        IntersectClipRect(dc, control->bounds_.left, control->bounds_.top, control->bounds_.right,
                          control->bounds_.bottom);
        OffsetViewportOrgEx(dc, control->bounds_.left, control->bounds_.top, nullptr);
        control->Paint(dc);
    }
}

void TGraphicControl::SetMouseControl(TWinControl& parent, TGraphicControl* control) {
    TGraphicControl* old = parent.mouseControl_;
    if (old == control)
        return;
    parent.mouseControl_ = control;
    if (old)
        old->MouseLeave();
    // The leave handler may have destroyed the new control or moved the pointer on.
    if (control && parent.mouseControl_ == control)
        control->MouseEnter();
}

bool TGraphicControl::MouseMessage(TWinControl& parent, UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (message == WM_MOUSEMOVE) {
        if (!parent.trackingLeave_) {
            // WM_MOUSELEAVE tells when the pointer leaves the parent and so the control.
            TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, parent.Handle(), 0};
            parent.trackingLeave_ = TrackMouseEvent(&track) != FALSE;
        }
        SetMouseControl(parent, ControlAt(parent, point));
    }
    TGraphicControl* control = ControlAt(parent, point);
    if (!control)
        return false;
    const TShiftState shift = ShiftOf(wParam);
    const int x = point.x - control->bounds_.left;
    const int y = point.y - control->bounds_.top;
    switch (message) {
    case WM_MOUSEMOVE:
        control->MouseMove(shift, x, y);
        return true;
    case WM_LBUTTONDOWN:
        control->MouseDown(mbLeft, shift, x, y);
        return true;
    case WM_RBUTTONDOWN:
        control->MouseDown(mbRight, shift, x, y);
        return true;
    case WM_MBUTTONDOWN:
        control->MouseDown(mbMiddle, shift, x, y);
        return true;
    case WM_LBUTTONDBLCLK:
        control->MouseDown(mbLeft, shift | ssDouble, x, y);
        return true;
    case WM_RBUTTONDBLCLK:
        control->MouseDown(mbRight, shift | ssDouble, x, y);
        return true;
    case WM_MBUTTONDBLCLK:
        control->MouseDown(mbMiddle, shift | ssDouble, x, y);
        return true;
    case WM_LBUTTONUP:
        control->MouseUp(mbLeft, shift, x, y);
        return true;
    case WM_RBUTTONUP:
        control->MouseUp(mbRight, shift, x, y);
        return true;
    case WM_MBUTTONUP:
        control->MouseUp(mbMiddle, shift, x, y);
        return true;
    default:
        return false;
    }
}

bool TGraphicControl::ParentMessage(TWinControl& parent, UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result) {
    const bool systemControl = parent.systemProc_ != nullptr;
    const bool hasControls = !parent.graphicControls_.empty();
    if (message == WM_PAINT && !systemControl) {
        const paint_dc dc(parent.Handle());
        parent.PaintWindow(dc.get());
        PaintControls(parent, dc.get(), dc.area());
        result = 0;
        return true;
    }
    if (!hasControls)
        return false;
    switch (message) {
    case WM_PAINT: {
        // A system control paints itself; its graphic controls go on top,
        // in the part it was asked to paint.
        const unique_hrgn update(CreateRectRgn(0, 0, 0, 0));
        const bool clip = GetUpdateRgn(parent.Handle(), update.get(), FALSE) != ERROR;
        RECT area;
        GetUpdateRect(parent.Handle(), &area, FALSE);
        result = parent.DefaultHandler(message, wParam, lParam);
        const window_dc dc(parent.Handle());
        if (clip)
            SelectClipRgn(dc.get(), update.get());
        PaintControls(parent, dc.get(), area);
        return true;
    }
    case WM_NCHITTEST: {
        // Statics and group boxes let the mouse through to their parent; not
        // where a graphic control of theirs lies.
        result = parent.DefaultHandler(message, wParam, lParam);
        if (result == HTTRANSPARENT) {
            POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(parent.Handle(), &point);
            if (ControlAt(parent, point))
                result = HTCLIENT;
        }
        return true;
    }
    case WM_SETCURSOR: {
        if (reinterpret_cast<HWND>(wParam) != parent.Handle() || LOWORD(lParam) != HTCLIENT)
            return false;
        // The pointer now: the message position may still be the previous message's.
        POINT point;
        GetCursorPos(&point);
        ScreenToClient(parent.Handle(), &point);
        TGraphicControl* control = ControlAt(parent, point);
        HCURSOR cursor = control ? CursorHandle(control->cursor_) : nullptr;
        if (!cursor)
            return false;
        ::SetCursor(cursor);
        result = TRUE;
        return true;
    }
    case WM_MOUSELEAVE:
        parent.trackingLeave_ = false;
        SetMouseControl(parent, nullptr);
        return false;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        result = 0;
        return MouseMessage(parent, message, wParam, lParam);
    default:
        return false;
    }
}
