#include "framework/common_controls.h"

#include <commctrl.h>

#include "framework/failure.h"
#include "framework/win10_api.h"

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

HICON LoadSmallIcon(int id, int size) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    // Only where the settings have loaded the common controls: loading them
    // for an icon costs the resident program a third of its start and memory,
    // and the icons hold the small sizes of 100 to 150 per cent, which
    // LoadImage picks as they are. Version 5 and systems before Vista lack it.
    using LoadScaledProc = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    const auto loadScaled = ProcAddress<LoadScaledProc>(GetModuleHandleA("comctl32.dll"), "LoadIconWithScaleDown");
    HICON icon = nullptr;
    if (loadScaled && SUCCEEDED(loadScaled(instance, MAKEINTRESOURCEW(id), size, size, &icon)))
        return icon;
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
}
