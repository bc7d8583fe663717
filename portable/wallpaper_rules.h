// The wallpaper list's rules: which directory entries are listed, how paths
// are joined, and the rotation arithmetic. Portable: no <windows.h> here.
#pragma once

#include <string>

// True for names whose extension, A-Z lower-cased, is .jpg, .bmp, .html or .htm.
bool IsWallpaperFile(const std::string& name);
// True when a name from the ANSI directory search is the entry's real name:
// characters the code page lacks come back as "?", and a best fit may turn
// "¥" into a one-byte "\", which would lead out of the folder.
bool IsFaithfulAnsiName(const std::string& name);
// Directory search pattern for the folder: "<folder>\*.*", one separator.
std::string WallpaperSearchPattern(const std::string& folder);
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
