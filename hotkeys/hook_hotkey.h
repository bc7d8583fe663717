// System-wide hotkeys registered against a hidden window of the component;
// each press raises OnHotKey with the hotkey's identifier.
#pragma once

#include <functional>

#include "framework/window.h"
#include "portable/shortcut.h"

class THookHotKey;
using THotKeyEvent = std::function<void(THookHotKey* Sender, int Index)>;

class THookHotKey : public TComponent {
public:
    // owner: the window that comes to the foreground before an event.
    explicit THookHotKey(TWinControl* owner);
    ~THookHotKey() override;

    bool Activate = true;
    THotKeyEvent OnHotKey;

    // Releases the index, then registers the combination under it: an index
    // holds one combination at most. True when the registration succeeded.
    bool AddHotKey(int Index, TShortCut ShortCut);
    bool RemoveHotKey(int Index);
    HWND Handle() const;

protected:
    virtual void DoHotKey(int Index);

private:
    TWinControl* ownerWindow_;
    TUtilityWindow* window_;
};
