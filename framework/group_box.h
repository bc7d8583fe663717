// A titled frame that holds controls; positions inside it are relative to it.
#pragma once

#include "framework/window.h"

class TGroupBox : public TWinControl {
public:
    // Bounds in 96-DPI pixels in the parent's client area.
    TGroupBox(TWinControl* parent, const char* caption, int left, int top, int width, int height);
};
