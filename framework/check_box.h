// A box that is ticked or not, with its caption to the right.
#pragma once

#include "framework/window.h"

class TCheckBox : public TWinControl {
public:
    // Bounds in 96-DPI pixels in the parent's client area.
    TCheckBox(TWinControl* parent, const char* caption, int left, int top, int width, int height);

    bool Checked() const;
    void SetChecked(bool checked);
};
