// The shell's objects that set the desktop's wallpaper: the Active Desktop
// object for one picture, and Windows 8's wallpaper object for a picture on
// each monitor.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// One change of the wallpaper.
struct TWallpaperPictures {
    // One picture for the whole desktop, or with perMonitor one for each
    // attached monitor in the order of WallpaperMonitors (an empty path
    // leaves that monitor's).
    std::vector<std::u16string> paths;
    bool perMonitor = false;
    // The shell's style (Center 0 ... Fill 4, Span 5), or -1 for the system's choice.
    int style = -1;
};

// The attached monitors' areas, in the order of Windows 8's wallpaper
// object; empty where that object cannot be created (Windows 7).
std::vector<RECT> WallpaperMonitors();
// Sets and applies the pictures in the calling thread's apartment; the
// objects are released before it returns. Where the monitors' object cannot
// be created, the first picture is set for the whole desktop. A failure
// raises EFailure with the text the failure box shows; a style refused is
// no failure: the picture is set all the same.
void SetDesktopWallpaper(const TWallpaperPictures& pictures);
