// The least program that slows as Yorunel did in the soak under Wine 8: it
// gives the tray its icon again, as after "TaskbarCreated", and redraws every
// window, as the redraw hotkey does (InvalidateRect with no window). Wine's
// tray makes a new window for each icon it is given; Wine erases the windows
// of every program from the caller's own process, with a DC of its cache
// (64 of them) that keeps the window's handle after that window is gone, and
// every window the caller then makes, moves or destroys looks each of them up
// in the server. So the time to make a window grows with the re-adds until the
// cache is full, and the caller's DCs (GDI objects) with it. Windows keeps its
// DC cache in the window manager and frees a window's DCs with the window.
//
//   bench_tray_redraw.exe readd|redraw|both [times]    200 times by default
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_figures.h"
#include "tests/e2e/process_counts.h"

namespace {

// Milliseconds to make and destroy a hidden window with 100 buttons: the least of five.
double WindowMs() {
    double least = 1e9;
    for (int i = 0; i < 5; ++i) {
        const double start = bench::NowMs();
        HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        for (int button = 0; button < 100; ++button)
            CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE, button % 10 * 40, button / 10 * 30, 40, 30,
                            parent, nullptr, nullptr, nullptr);
        DestroyWindow(parent);
        least = std::min(least, bench::NowMs() - start);
    }
    return least;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "both";
    const int times = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
    const bool readd = mode != "redraw", redraw = mode != "readd";
    NOTIFYICONDATAA icon = {};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    icon.uFlags = NIF_ICON;
    icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    if (!Shell_NotifyIconA(NIM_ADD, &icon)) {
        std::fprintf(stderr, "no tray\n");
        return 1;
    }
    const char* what = readd && redraw ? "icon given again, then every window redrawn"
                       : readd         ? "icon given again"
                                       : "every window redrawn";
    std::printf("%s, after so many times:", what);
    double firstMs = 0, lastMs = 0;
    long firstGdi = 0, lastGdi = 0;
    for (int i = 0; i <= times; ++i) {
        if (i == times || (i & (i - 1)) == 0) {
            lastMs = WindowMs();
            lastGdi = e2e::SampleProcess(GetCurrentProcessId()).gdiObjects;
            if (i == 0) {
                firstMs = lastMs;
                firstGdi = lastGdi;
            }
            std::printf(" %d: %.1f ms %ld GDI;", i, lastMs, lastGdi);
        }
        if (readd) {
            Shell_NotifyIconA(NIM_DELETE, &icon);
            Shell_NotifyIconA(NIM_ADD, &icon);
        }
        if (redraw)
            InvalidateRect(nullptr, nullptr, FALSE);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    std::printf("\n%s, 0 to %d times: %.1f ms to %.1f ms, GDI objects %ld to %ld\n", what, times, firstMs, lastMs,
                firstGdi, lastGdi);
    Shell_NotifyIconA(NIM_DELETE, &icon);
    return 0;
}
