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

HICON LoadSmallIcon(int id) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    // Only where the settings have loaded the common controls: loading them
    // for an icon costs the resident program a third of its start and memory,
    // and the icons hold the small sizes of 100 to 150 per cent, which
    // LoadImage picks as they are. Version 5 and systems before Vista lack it.
    HMODULE controls = GetModuleHandleA("comctl32.dll");
    using LoadIconMetricProc = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);
    const auto loadMetric = reinterpret_cast<LoadIconMetricProc>(
        reinterpret_cast<void*>(controls ? GetProcAddress(controls, "LoadIconMetric") : nullptr));
    HICON icon = nullptr;
    if (loadMetric && SUCCEEDED(loadMetric(instance, MAKEINTRESOURCEW(id), LIM_SMALL, &icon)))
        return icon;
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                         GetSystemMetrics(SM_CYSMICON), 0));
}
