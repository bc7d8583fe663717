// The wallpaper list's rules: which directory entries are listed, how paths
// are joined, and the rotation arithmetic. Portable: no <windows.h> here.
#pragma once

#include <string>
#include <string_view>

// True for file names (UTF-16, as the directory gives them) whose extension,
// A-Z lower-cased, is one of the pictures the shell's background takes
// (.jpg .jpeg .jpe .jfif .png .bmp .dib .gif .tif .tiff) or .htm, .html.
bool IsWallpaperFile(std::u16string_view name);
// The shell's code of a style ("Fill", "Fit", "Stretch", "Tile", "Center",
// "Span", as the settings dialog writes them): Center 0 ... Span 5; -1 for
// the empty text and any other, which leave the system's choice.
int WallpaperStyleCode(const std::string& style);
// The folder to list, with one separator at its end: "<folder>\".
std::string WallpaperListFolder(const std::string& folder);
// Path of a picked menu item: one separator between folder and name.
std::string WallpaperMenuPath(const std::string& folder, const std::string& name);
// Path used by the rotation: a separator is always inserted, so a folder that
// ends in one gives a doubled separator, which the file system accepts.
std::string WallpaperRotationPath(const std::string& folder, const std::string& name);
// Next rotation position in a list of count > 0 items: advanced before use.
int NextWallpaperIndex(int index, int count);
// One timer minute: counts and reports whether the interval has elapsed,
// restarting the count when it has; a count already past the interval
// elapses at once. An interval of 0 (or less) never elapses.
bool CountWallpaperMinute(int& minuteCount, int interval);
