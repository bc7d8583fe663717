// A one-line text field.
#pragma once

#include <string>

#include "framework/window.h"

class TEdit : public TWinControl {
public:
    // Bounds in 96-DPI pixels in the parent's client area.
    TEdit(TWinControl* parent, int left, int top, int width, int height);

    TNotifyEvent OnExit;

    std::string Text() const;
    void SetText(const std::string& text);

protected:
    TEdit(TWinControl* parent, int left, int top, int width, int height, DWORD extraStyle);
    bool ParentMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};
