// A number field with up and down arrows, kept in its range: the text is
// pulled into range when the field loses the focus and on every set.
#pragma once

#include "framework/edit.h"

class TSpinEdit : public TEdit {
public:
    // Bounds in 96-DPI pixels in the parent's client area.
    TSpinEdit(TWinControl* parent, int left, int top, int width, int height, int minValue, int maxValue);

    int MinValue() const { return minValue_; }
    int MaxValue() const { return maxValue_; }
    int Increment = 1;

    // The text read as a decimal integer; a text that is not one gives 0.
    int Value() const;
    // Sets the text to the value pulled into range.
    void SetValue(int value);
    HWND ButtonHandle() const;

protected:
    bool ParentMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    friend class TSpinButton;
    void Step(int delta);

    int minValue_;
    int maxValue_;
    TWinControl* button_;
};
