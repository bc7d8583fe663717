#include "framework/menu.h"

TMenuItem::TMenuItem(TComponent* owner, std::string caption, TNotifyEvent onClick)
    : TComponent(owner), Caption(std::move(caption)), OnClick(std::move(onClick)) {}

TMenuItem* TMenuItem::Add(std::string caption, TNotifyEvent onClick, int tag) {
    auto* item = new TMenuItem(this, std::move(caption), std::move(onClick));
    item->Tag = tag;
    items_.push_back(item);
    return item;
}

void TMenuItem::Clear() {
    std::vector<TMenuItem*> items;
    items.swap(items_);
    // Newest first: each leaves its owner's list from the end, in constant time.
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        delete *it;
}

void TMenuItem::Click() {
    if (OnClick)
        OnClick(this);
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), Items(nullptr) {}

unique_hmenu TPopupMenu::Build(const TMenuItem& parent, std::vector<TMenuItem*>& commands) const {
    unique_hmenu menu(CreatePopupMenu());
    for (TMenuItem* item : parent.items_) {
        if (item->Caption == "-") {
            AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
        } else if (item->Count() > 0) {
            unique_hmenu submenu = Build(*item, commands);
            // The menu owns the submenu once it is appended.
            if (AppendMenuA(menu.get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu.get()),
                            item->Caption.c_str()))
                submenu.release();
        } else {
            commands.push_back(item);
            AppendMenuA(menu.get(), MF_STRING | (item->Checked ? MF_CHECKED : 0), commands.size(),
                        item->Caption.c_str());
            if (item->Checked) {
                MENUITEMINFOA info = {};
                info.cbSize = sizeof(info);
                info.fMask = MIIM_FTYPE;
                info.fType = MFT_STRING | MFT_RADIOCHECK;
                SetMenuItemInfoA(menu.get(), static_cast<UINT>(commands.size()), FALSE, &info);
            }
        }
    }
    return menu;
}

void TPopupMenu::Popup(HWND window, int x, int y) {
    std::vector<TMenuItem*> commands;
    const unique_hmenu menu = Build(Items, commands);
    // Without the foreground and the WM_NULL after it, a tray menu stays
    // open when the user clicks elsewhere.
    SetForegroundWindow(window);
    tracking_ = true;
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, window, nullptr));
    tracking_ = false;
    PostMessageA(window, WM_NULL, 0, 0);
    const scope_exit closed([this] {
        if (OnClose)
            OnClose(this);
    });
    if (chosen > 0 && chosen <= commands.size())
        commands[chosen - 1]->Click();
}
