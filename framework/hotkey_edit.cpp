#include "framework/hotkey_edit.h"

#include <commctrl.h>

#include "framework/common_controls.h"

THotKey::THotKey(TWinControl* parent, int left, int top, int width, int height) : TWinControl(parent) {
    InitCommonControls(ICC_HOTKEY_CLASS);
    CreateChild(parent->Handle(), {HOTKEY_CLASSA, 0, WS_TABSTOP, left, top, width, height, ""});
    // The rules first, then the value: the control applies rules to keys typed later.
    SendMessageA(Handle(), HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(0, 0));
    SetHotKey(0);
}

TShortCut THotKey::HotKey() const {
    return HotKeyWordToShortCut(static_cast<std::uint16_t>(SendMessageA(Handle(), HKM_GETHOTKEY, 0, 0)));
}

void THotKey::SetHotKey(TShortCut value) {
    SendMessageA(Handle(), HKM_SETHOTKEY, ShortCutToHotKeyWord(value), 0);
}
