// A list of texts, one of which may be selected.
#pragma once

#include <string>

#include "framework/window.h"

class TListBox : public TWinControl {
public:
    // Bounds in 96-DPI pixels in the parent's client area.
    TListBox(TWinControl* parent, int left, int top, int width, int height);

    TNotifyEvent OnDblClick;

    void Clear();
    void Add(const std::string& text);
    int Count() const;
    // The selected entry, or -1.
    int ItemIndex() const;
    std::string Item(int index) const;

protected:
    bool ParentMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};
