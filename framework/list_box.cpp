#include "framework/list_box.h"

#include <vector>

TListBox::TListBox(TWinControl* parent, int left, int top, int width, int height) : TWinControl(parent) {
    CreateChild(parent->Handle(), {"LISTBOX", WS_EX_CLIENTEDGE, WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                                   left, top, width, height, ""});
}

void TListBox::Clear() {
    SendMessageA(Handle(), LB_RESETCONTENT, 0, 0);
}

void TListBox::Add(const std::string& text) {
    SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int TListBox::Count() const {
    return static_cast<int>(SendMessageA(Handle(), LB_GETCOUNT, 0, 0));
}

int TListBox::ItemIndex() const {
    return static_cast<int>(SendMessageA(Handle(), LB_GETCURSEL, 0, 0));
}

std::string TListBox::Item(int index) const {
    const LRESULT length = SendMessageA(Handle(), LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR)
        return std::string();
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    SendMessageA(Handle(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

bool TListBox::ParentMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_COMMAND || HIWORD(wParam) != LBN_DBLCLK || !OnDblClick)
        return false;
    OnDblClick(this);
    result = 0;
    return true;
}
