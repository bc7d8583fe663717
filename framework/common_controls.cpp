#include "framework/common_controls.h"

#include <commctrl.h>

#include "framework/failure.h"

void InitCommonControls(DWORD classes) {
    using InitProc = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    // Loaded once and kept for the program's life, as a static import would be.
    static const InitProc init = reinterpret_cast<InitProc>(reinterpret_cast<void*>(
        GetProcAddress(LoadLibraryA("comctl32.dll"), "InitCommonControlsEx")));
    if (!init)
        throw EFailure(FormatText("comctl32.dll: %lu", GetLastError()));
    INITCOMMONCONTROLSEX controls = {sizeof(controls), classes};
    init(&controls);
}
