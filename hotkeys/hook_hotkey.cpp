#include "hotkeys/hook_hotkey.h"

THookHotKey::THookHotKey(TWinControl* owner) : TComponent(owner), ownerWindow_(owner) {
    window_ = new TUtilityWindow(this, [this](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        if (message != WM_HOTKEY)
            return false;
        DoHotKey(static_cast<int>(wParam));
        result = 0;
        return true;
    });
}

// Registrations end with the window; none is released one by one.
THookHotKey::~THookHotKey() = default;

HWND THookHotKey::Handle() const {
    return window_->Handle();
}

bool THookHotKey::AddHotKey(int Index, TShortCut ShortCut) {
    std::uint16_t key = 0;
    ModifierSet modifiers = 0;
    SplitShortCut(ShortCut, key, modifiers);
    UINT mask = 0;
    if (modifiers & modAlt)
        mask |= MOD_ALT;
    if (modifiers & modCtrl)
        mask |= MOD_CONTROL;
    if (modifiers & modShift)
        mask |= MOD_SHIFT;
    // Windows keeps an earlier combination under the same window and id beside
    // a new one (RegisterHotKey's documentation), so the index is freed first.
    UnregisterHotKey(Handle(), Index);
    // Without MOD_NOREPEAT (Windows 7 and later) auto-repeat sends the hotkey
    // again and again while the keys are held.
    if (RegisterHotKey(Handle(), Index, mask | MOD_NOREPEAT, key))
        return true;
    // Older systems refuse the flag; a combination held elsewhere is refused either way.
    return GetLastError() != ERROR_HOTKEY_ALREADY_REGISTERED && RegisterHotKey(Handle(), Index, mask, key) != FALSE;
}

bool THookHotKey::RemoveHotKey(int Index) {
    return UnregisterHotKey(Handle(), Index) != FALSE;
}

void THookHotKey::DoHotKey(int Index) {
    if (!OnHotKey)
        return;
    if (Activate && ownerWindow_)
        SetForegroundWindow(ownerWindow_->Handle());
    OnHotKey(this, Index);
}
