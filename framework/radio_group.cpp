#include "framework/radio_group.h"

#include "framework/control_ids.h"
#include "framework/graphics.h"
#include "framework/handles.h"

namespace {

class TRadioButton : public TWinControl {
public:
    TRadioButton(TWinControl* group, const std::string& caption, const RECT& bounds, bool first)
        : TWinControl(group) {
        const DWORD style = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | (first ? WS_GROUP | WS_TABSTOP : 0);
        CreateSystemControl("BUTTON", 0, style, bounds, group->Handle(), caption.c_str(), NextControlId());
        UseParentFont();
    }
};

}  // namespace

TRadioGroup::TRadioGroup(TWinControl* parent, const std::string& caption, int left, int top, int width, int height,
                         const std::vector<std::string>& items)
    : TWinControl(parent) {
    CreateChild(parent->Handle(),
                {"BUTTON", WS_EX_CONTROLPARENT, BS_GROUPBOX, left, top, width, height, caption.c_str()});
    // One column: the space under the title shared out evenly among the items.
    TEXTMETRICA metrics = {};
    {
        const window_dc dc(Handle());
        const selected_object font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(Handle(), WM_GETFONT, 0, 0)));
        GetTextMetricsA(dc.get(), &metrics);
    }
    RECT client;
    GetClientRect(Handle(), &client);
    const int count = items.empty() ? 1 : static_cast<int>(items.size());
    const int space = client.bottom - metrics.tmHeight - ScaleToDpi(5);
    const int itemHeight = space / count;
    const int topMargin = metrics.tmHeight + 1 + (space % count) / 2;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const int y = topMargin + static_cast<int>(i) * itemHeight;
        const RECT bounds = {ScaleToDpi(8), y, client.right - ScaleToDpi(2), y + itemHeight};
        buttons_.push_back(new TRadioButton(this, items[i], bounds, i == 0));
    }
}

int TRadioGroup::ItemIndex() const {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (SendMessageA(buttons_[i]->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED)
            return static_cast<int>(i);
    return -1;
}

void TRadioGroup::SetItemIndex(int index) {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        SendMessageA(buttons_[i]->Handle(), BM_SETCHECK, static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED, 0);
}
