// A drop-down list: one of its items is chosen, nothing is typed.
#pragma once

#include <initializer_list>

#include "framework/window.h"

class TComboBox : public TWinControl {
public:
    // Position and width in 96-DPI pixels in the parent's client area; the
    // field is as high as its font needs, the list shows every item.
    TComboBox(TWinControl* parent, int left, int top, int width, std::initializer_list<const char*> items);

    int Count() const;
    // The chosen item, or -1 when none is.
    int ItemIndex() const;
    void SetItemIndex(int index);
};
