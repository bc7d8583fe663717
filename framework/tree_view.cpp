#include "framework/tree_view.h"

#include <commctrl.h>

#include "framework/common_controls.h"
#include "framework/graphics.h"

TTreeView::TTreeView(TWinControl* parent, int left, int top, int width, int height) : TWinControl(parent) {
    InitCommonControls(ICC_TREEVIEW_CLASSES);
    CreateChild(parent->Handle(), {WC_TREEVIEWA, WS_EX_CLIENTEDGE,
                                   WS_TABSTOP | TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS | TVS_SHOWSELALWAYS,
                                   left, top, width, height, ""});
}

void TTreeView::SetIndent(int pixels96) {
    SendMessageA(Handle(), TVM_SETINDENT, ScaleToDpi(pixels96), 0);
}

HTREEITEM TTreeView::Add(const std::string& text) {
    TVINSERTSTRUCTA insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(text.c_str());
    return reinterpret_cast<HTREEITEM>(SendMessageA(Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TTreeView::Select(HTREEITEM node) {
    SendMessageA(Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
}

HTREEITEM TTreeView::Selected() const {
    return reinterpret_cast<HTREEITEM>(SendMessageA(Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
}

std::string TTreeView::NodeText(HTREEITEM node) const {
    char buffer[512] = {};
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = buffer;
    item.cchTextMax = sizeof(buffer);
    SendMessageA(Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return buffer;
}

bool TTreeView::ParentMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_NOTIFY)
        return false;
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == TVN_SELCHANGINGA) {
        result = OnChanging && !OnChanging(this) ? TRUE : FALSE;
        return true;
    }
    if (header->code == TVN_SELCHANGEDA) {
        const auto* change = reinterpret_cast<const NMTREEVIEWA*>(lParam);
        if (OnChange)
            OnChange(this, NodeText(change->itemNew.hItem));
        result = 0;
        return true;
    }
    return false;
}
