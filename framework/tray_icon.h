// The owner window's icon in the notification area: the record, added until
// the task bar takes it, kept up to date, and added again when a new task bar
// announces itself.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "framework/handles.h"
#include "framework/timer.h"

class TTrayIcon : public TComponent {
public:
    // The record (version 1, 88 bytes) is allocated here, once; mouse events
    // over the icon reach owner as callbackMessage.
    TTrayIcon(TWinControl* owner, UINT callbackMessage);
    ~TTrayIcon() override;

    // Sets the record's icon (a resource id, loaded at the small-icon size)
    // and tip; Show or Update hands them to the task bar.
    void SetState(int iconId, const char* tip);
    // Adds the icon; while the task bar refuses it, tries again every few seconds.
    void Show();
    // Hands the record's state to the task bar, adding the icon again if it is gone.
    void Update();
    // Removes the icon and stops trying to add it.
    void Hide();
    // The owner passes every message here first; true when it was the tray's
    // alone. A new task bar is given the icon again; a new scale loads it anew.
    bool HandleMessage(UINT message);

private:
    // Loads the icon of iconId_ at the task bar's small-icon size into the record.
    void ReloadIcon();
    bool Add();
    void StopRetrying();

    TWinControl* ownerWindow_;
    std::unique_ptr<NOTIFYICONDATAA> record_;
    int iconId_ = 0;
    int iconSize_ = 0;
    unique_hicon icon_;
    UINT taskbarCreated_;
    bool wanted_ = false;
    TTimer* retry_ = nullptr;
};
