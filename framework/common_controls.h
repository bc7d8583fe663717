// The system's common controls, loaded when a dialog first needs them: a
// resident program that never opens its settings does not carry them.
#pragma once

#include <windows.h>

// Loads the common controls (version 6, through the manifest) and
// registers the classes named by the ICC_* flags; throws EFailure when
// the system has none.
void InitCommonControls(DWORD classes);

// Icon resource id of this program at size pixels square, scaled from a
// larger image where the common controls can; the caller owns it.
HICON LoadSmallIcon(int id, int size);
