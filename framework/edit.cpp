#include "framework/edit.h"

#include <vector>

TEdit::TEdit(TWinControl* parent, int left, int top, int width, int height)
    : TEdit(parent, left, top, width, height, 0) {}

TEdit::TEdit(TWinControl* parent, int left, int top, int width, int height, DWORD extraStyle)
    : TWinControl(parent) {
    CreateChild(parent->Handle(),
                {"EDIT", WS_EX_CLIENTEDGE, WS_TABSTOP | ES_AUTOHSCROLL | extraStyle, left, top, width, height, ""});
}

std::string TEdit::Text() const {
    const int length = GetWindowTextLengthA(Handle());
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    const int got = GetWindowTextA(Handle(), buffer.data(), length + 1);
    return std::string(buffer.data(), got > 0 ? static_cast<std::size_t>(got) : 0);
}

void TEdit::SetText(const std::string& text) {
    SetWindowTextA(Handle(), text.c_str());
}

bool TEdit::ParentMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_COMMAND || HIWORD(wParam) != EN_KILLFOCUS || !OnExit)
        return false;
    OnExit(this);
    result = 0;
    return true;
}
