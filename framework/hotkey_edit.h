// The system's hotkey field ("msctls_hotkey32"), which captures one key with
// its modifiers. A key with no modifier or with Shift alone is replaced by
// the key with no modifier.
#pragma once

#include "framework/window.h"
#include "portable/shortcut.h"

class THotKey : public TWinControl {
public:
    // Bounds in 96-DPI pixels in the parent's client area; starts empty.
    THotKey(TWinControl* parent, int left, int top, int width, int height);

    TShortCut HotKey() const;
    void SetHotKey(TShortCut value);
};
