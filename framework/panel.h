// A borderless container of controls, shown and hidden as a whole.
#pragma once

#include "framework/window.h"

class TPanel : public TWinControl {
public:
    // Bounds in 96-DPI pixels in the parent's client area.
    TPanel(TWinControl* parent, int left, int top, int width, int height);

    void SetVisible(bool visible);
    bool Visible() const;
    // Moves the panel, in 96-DPI pixels, keeping its size.
    void MoveTo(int left, int top);
    // Puts the panel above its overlapping siblings.
    void BringToFront();
};
