// Menu items and the popup menu. The Win32 menu is built afresh for every
// popup from the items, so the items are the one record of the menu.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/component.h"
#include "framework/handles.h"

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner, std::string caption = std::string(), TNotifyEvent onClick = nullptr);

    std::string Caption;  // "-" is a separator
    TNotifyEvent OnClick;
    // The item's own number, for its click handler.
    int Tag = 0;
    // Shown with a radio check.
    bool Checked = false;

    // Appends an item this one owns, which makes this one a submenu.
    TMenuItem* Add(std::string caption, TNotifyEvent onClick = nullptr, int tag = 0);
    void Clear();
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    void Click();

private:
    friend class TPopupMenu;
    std::vector<TMenuItem*> items_;
};

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* owner);

    TMenuItem Items;
    // Runs once the menu has closed and its chosen item's click has run.
    TNotifyEvent OnClose;

    // Shows the menu at a screen position with window as its owner and runs
    // the chosen item's click before returning.
    void Popup(HWND window, int x, int y);
    // True while the menu is shown: its items must stay as they are.
    bool Tracking() const { return tracking_; }

private:
    unique_hmenu Build(const TMenuItem& parent, std::vector<TMenuItem*>& commands) const;

    bool tracking_ = false;
};
