// A line of text in a window of its own.
#pragma once

#include "framework/window.h"

class TStaticText : public TWinControl {
public:
    // Position in 96-DPI pixels; the size follows the text.
    TStaticText(TWinControl* parent, const char* caption, int left, int top);
};
