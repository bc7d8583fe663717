#include "framework/check_box.h"

TCheckBox::TCheckBox(TWinControl* parent, const char* caption, int left, int top, int width, int height)
    : TWinControl(parent) {
    CreateChild(parent->Handle(),
                {"BUTTON", 0, WS_TABSTOP | BS_AUTOCHECKBOX, left, top, width, height, caption});
}

bool TCheckBox::Checked() const {
    return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TCheckBox::SetChecked(bool checked) {
    SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}
