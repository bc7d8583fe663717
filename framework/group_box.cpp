#include "framework/group_box.h"

TGroupBox::TGroupBox(TWinControl* parent, const char* caption, int left, int top, int width, int height)
    : TWinControl(parent) {
    // A container for the dialog keys: Tab goes into the frame's controls.
    CreateChild(parent->Handle(),
                {"BUTTON", WS_EX_CONTROLPARENT, BS_GROUPBOX, left, top, width, height, caption});
}
