// A picture button that never takes the focus, with a hint on hover. Its
// glyph bitmap holds the normal picture and the grey disabled one side by
// side; the colour of the bottom-left pixel is transparent.
#pragma once

#include <string>

#include "framework/handles.h"
#include "framework/window.h"

class TSpeedButton : public TWinControl {
public:
    // Bounds in 96-DPI pixels in the parent's client area; glyph: a bitmap
    // resource of the program.
    TSpeedButton(TWinControl* parent, int left, int top, int width, int height, const char* glyph,
                 const std::string& hint);

    TNotifyEvent OnClick;

    void SetEnabled(bool enabled);
    HWND HintHandle() const { return tooltip_.get(); }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc);

    unique_hbitmap glyph_;
    unique_hwnd tooltip_;
    std::string hint_;
    bool pressed_ = false;
};
