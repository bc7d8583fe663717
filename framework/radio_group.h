// A titled frame of radio buttons, one of which is chosen.
#pragma once

#include <string>
#include <vector>

#include "framework/window.h"

class TRadioGroup : public TWinControl {
public:
    // Bounds in 96-DPI pixels in the parent's client area.
    TRadioGroup(TWinControl* parent, const std::string& caption, int left, int top, int width, int height,
                const std::vector<std::string>& items);

    // The chosen item, or -1 when none is.
    int ItemIndex() const;
    void SetItemIndex(int index);
    HWND ItemHandle(int index) const { return buttons_.at(static_cast<std::size_t>(index))->Handle(); }

private:
    std::vector<TWinControl*> buttons_;
};
