// Windowless controls: drawn by their parent windowed control on its own
// surface and reached through the parent's mouse messages by hit test.
#pragma once

#include <windows.h>

#include <functional>

#include "framework/component.h"

class TWinControl;

// Cursor numbers; crDefault leaves the parent's cursor.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crArrow = -2;
constexpr TCursor crHandPoint = -21;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Keys and buttons held during a mouse message.
using TShiftState = unsigned;
constexpr TShiftState ssShift = 0x01;
constexpr TShiftState ssAlt = 0x02;
constexpr TShiftState ssCtrl = 0x04;
constexpr TShiftState ssLeft = 0x08;
constexpr TShiftState ssRight = 0x10;
constexpr TShiftState ssMiddle = 0x20;
constexpr TShiftState ssDouble = 0x40;

using TMouseEvent = std::function<void(TComponent* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;

class TGraphicControl : public TComponent {
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;

    TWinControl* Parent() const { return parent_; }
    // Puts the control on the parent's client area, above the ones already
    // there; null takes it off.
    void SetParent(TWinControl* parent);

    // Bounds in pixels of the parent's client area.
    int Left() const { return bounds_.left; }
    int Top() const { return bounds_.top; }
    int Width() const { return bounds_.right - bounds_.left; }
    int Height() const { return bounds_.bottom - bounds_.top; }
    const RECT& BoundsRect() const { return bounds_; }
    void SetBounds(int left, int top, int width, int height);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // The pointer's shape over the control.
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor) { cursor_ = cursor; }

    // Marks the control's area of the parent for painting.
    void Invalidate();
    // Paints the control's area of the parent now.
    void Repaint();

    TMouseEvent OnMouseDown;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // The parent's messages that concern its graphic controls: painting,
    // mouse, hit test and cursor. True when handled, with result set.
    static bool ParentMessage(TWinControl& parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The system cursor of a cursor number, or null for the parent's own.
    static HCURSOR CursorHandle(TCursor cursor);

protected:
    // Stores value in field; true when that changed it, so that a writer
    // repaints only on a change.
    template <typename T>
    static bool Assign(T& field, const T& value) {
        if (field == value)
            return false;
        field = value;
        return true;
    }

    // Draws the control; the origin is its top-left corner and drawing is
    // clipped to its bounds.
    virtual void Paint(HDC dc) = 0;
    // Mouse messages over the control, in its own coordinates.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // The pointer has come onto the control, or has left it.
    virtual void MouseEnter();
    virtual void MouseLeave();

private:
    static TGraphicControl* ControlAt(const TWinControl& parent, POINT point);
    static void PaintControls(const TWinControl& parent, HDC dc, const RECT& area);
    static void SetMouseControl(TWinControl& parent, TGraphicControl* control);
    static bool MouseMessage(TWinControl& parent, UINT message, WPARAM wParam, LPARAM lParam);

    TWinControl* parent_ = nullptr;
    RECT bounds_ = {};
    bool visible_ = true;
    TCursor cursor_ = crDefault;
};
