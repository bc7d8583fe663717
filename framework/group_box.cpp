#include "framework/group_box.h"

#include "framework/control_ids.h"
#include "framework/graphics.h"

TGroupBox::TGroupBox(TWinControl* parent, const std::string& caption, int left, int top, int width, int height)
    : TWinControl(parent) {
    // A container for the dialog keys: Tab goes into the frame's controls.
    CreateSystemControl("BUTTON", WS_EX_CONTROLPARENT, WS_CHILD | WS_VISIBLE | BS_GROUPBOX,
                        ScaledBounds(left, top, width, height), parent->Handle(), caption.c_str(), NextControlId());
    UseParentFont();
}
