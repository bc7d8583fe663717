// Identifiers of child controls: unique in the program, so the dialog
// manager can name a default button and WM_COMMAND can name a control.
#pragma once

int NextControlId();
