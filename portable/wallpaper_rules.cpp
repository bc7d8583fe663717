#include "portable/wallpaper_rules.h"

#include "portable/cp932.h"

bool IsWallpaperFile(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return false;
    const std::string extension = LowerAscii932(name.substr(dot));
    return extension == ".jpg" || extension == ".bmp" || extension == ".html" || extension == ".htm";
}

bool IsFaithfulAnsiName(const std::string& name) {
    return FindLastChar932(name, '?') == std::string::npos && FindLastChar932(name, '\\') == std::string::npos;
}

std::string WallpaperSearchPattern(const std::string& folder) {
    return EndsWithChar932(folder, '\\') ? folder + "*.*" : folder + "\\*.*";
}

std::string WallpaperMenuPath(const std::string& folder, const std::string& name) {
    return EndsWithChar932(folder, '\\') ? folder + name : folder + "\\" + name;
}

std::string WallpaperRotationPath(const std::string& folder, const std::string& name) {
    return folder + "\\" + name;
}

int NextWallpaperIndex(int index, int count) {
    return index >= count - 1 ? 0 : index + 1;
}

bool CountWallpaperMinute(int& minuteCount, int interval) {
    ++minuteCount;
    // At or past it: an interval lowered below the count (the file edited
    // while paused) must not stop the rotation.
    if (interval <= 0 || minuteCount < interval)
        return false;
    minuteCount = 0;
    return true;
}
