#include "framework/combo_box.h"

TComboBox::TComboBox(TWinControl* parent, int left, int top, int width, std::initializer_list<const char*> items)
    : TWinControl(parent) {
    // A drop-down list's height is the height with its list open.
    const int listHeight = 24 + 18 * static_cast<int>(items.size());
    CreateChild(parent->Handle(), {"COMBOBOX", 0, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, left, top, width,
                                   listHeight, ""});
    for (const char* item : items)
        SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
}

int TComboBox::Count() const {
    return static_cast<int>(SendMessageA(Handle(), CB_GETCOUNT, 0, 0));
}

int TComboBox::ItemIndex() const {
    return static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
}

void TComboBox::SetItemIndex(int index) {
    SendMessageA(Handle(), CB_SETCURSEL, index, 0);
}
