#include "framework/spin_edit.h"

#include <commctrl.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "framework/common_controls.h"
#include "framework/control_ids.h"
#include "framework/graphics.h"

// The arrows: an up-down control beside the field, whose steps the field
// itself applies, so that the range rule is the field's alone.
class TSpinButton : public TWinControl {
public:
    explicit TSpinButton(TSpinEdit* edit) : TWinControl(edit), edit_(edit) {
        InitCommonControls(ICC_UPDOWN_CLASS);
        // The arrows take the right end of the field's rectangle.
        RECT field;
        GetWindowRect(edit->Handle(), &field);
        MapWindowPoints(nullptr, GetParent(edit->Handle()), reinterpret_cast<POINT*>(&field), 2);
        RECT arrows = field;
        arrows.left = field.right - GetSystemMetrics(SM_CXVSCROLL);
        CreateSystemControl(UPDOWN_CLASSA, 0, WS_CHILD | WS_VISIBLE | UDS_ARROWKEYS | UDS_NOTHOUSANDS, arrows,
                            GetParent(edit->Handle()), "", NextControlId());
        SetWindowPos(edit->Handle(), nullptr, 0, 0, arrows.left - field.left, field.bottom - field.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageA(Handle(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit->Handle()), 0);
        // Placed again after the buddy is set, which may resize the arrows.
        SetWindowPos(Handle(), nullptr, arrows.left, arrows.top, arrows.right - arrows.left, arrows.bottom - arrows.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageA(Handle(), UDM_SETRANGE32, edit->MinValue(), edit->MaxValue());
    }

protected:
    bool ParentMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) override {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (message != WM_NOTIFY || header->code != UDN_DELTAPOS)
            return false;
        edit_->Step(reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta);
        result = 1;  // the control's own position stays unused
        return true;
    }

private:
    TSpinEdit* edit_;
};

TSpinEdit::TSpinEdit(TWinControl* parent, int left, int top, int width, int height, int minValue, int maxValue)
    : TEdit(parent, left, top, width, height, 0), minValue_(minValue), maxValue_(maxValue) {
    button_ = new TSpinButton(this);
    SetValue(minValue);
}

HWND TSpinEdit::ButtonHandle() const {
    return button_->Handle();
}

int TSpinEdit::Value() const {
    const std::string text = Text();
    if (text.empty())
        return 0;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
        return 0;
    return static_cast<int>(value);
}

void TSpinEdit::SetValue(int value) {
    if (value < minValue_)
        value = minValue_;
    if (value > maxValue_)
        value = maxValue_;
    SetText(std::to_string(value));
}

void TSpinEdit::Step(int delta) {
    SetValue(Value() + delta * Increment);
}

bool TSpinEdit::ParentMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_COMMAND && HIWORD(wParam) == EN_KILLFOCUS)
        SetValue(Value());
    return TEdit::ParentMessage(message, wParam, lParam, result);
}
