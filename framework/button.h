// A push button; Enter presses the form's default button.
#pragma once

#include "framework/window.h"

class TButton : public TWinControl {
public:
    // Bounds in 96-DPI pixels in the parent's client area.
    TButton(TWinControl* parent, const char* caption, int left, int top, int width, int height);

    TNotifyEvent OnClick;

    int Id() const { return id_; }
    // Makes this the button that Enter presses in its form.
    void MakeDefault();
    void Click();

protected:
    bool ParentMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    int id_ = 0;
};
