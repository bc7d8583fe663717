#include "framework/button.h"

#include "framework/control_ids.h"
#include "framework/form.h"
#include "framework/graphics.h"

TButton::TButton(TWinControl* parent, const std::string& caption, int left, int top, int width, int height)
    : TWinControl(parent), id_(NextControlId()) {
    CreateSystemControl("BUTTON", 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                        ScaledBounds(left, top, width, height), parent->Handle(), caption.c_str(), id_);
    UseParentFont();
}

void TButton::MakeDefault() {
    SendMessageA(Handle(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    if (auto* form = dynamic_cast<TForm*>(FromHandle(GetAncestor(Handle(), GA_ROOT))))
        form->SetDefaultButtonId(id_);
}

void TButton::Click() {
    if (OnClick)
        OnClick(this);
}

bool TButton::ParentMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED)
        return false;
    Click();
    result = 0;
    return true;
}
