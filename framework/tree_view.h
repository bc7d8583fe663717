// A tree of top-level nodes chosen by their text.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "framework/window.h"

class TTreeView : public TWinControl {
public:
    // Bounds in 96-DPI pixels in the parent's client area.
    TTreeView(TWinControl* parent, int left, int top, int width, int height);

    // Before the selection moves; return false to keep it.
    std::function<bool(TTreeView* Sender)> OnChanging;
    // After the selection has moved to the node with this text.
    std::function<void(TTreeView* Sender, const std::string& nodeText)> OnChange;

    void SetIndent(int pixels96);
    HTREEITEM Add(const std::string& text);
    void Select(HTREEITEM node);
    HTREEITEM Selected() const;
    std::string NodeText(HTREEITEM node) const;

protected:
    bool ParentMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};
