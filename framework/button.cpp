#include "framework/button.h"

#include "framework/form.h"

TButton::TButton(TWinControl* parent, const char* caption, int left, int top, int width, int height)
    : TWinControl(parent) {
    id_ = CreateChild(parent->Handle(), {"BUTTON", 0, WS_TABSTOP | BS_PUSHBUTTON, left, top, width, height, caption});
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
