// The shell's object that sets the desktop's wallpaper.
#pragma once

#include <string>

// Sets and applies one wallpaper through the shell's Active Desktop object,
// created in the calling thread's apartment and released before it returns.
// A failure raises EFailure with the text the failure box shows.
void SetDesktopWallpaper(const std::u16string& path);
