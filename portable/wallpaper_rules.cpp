#include "portable/wallpaper_rules.h"

#include "portable/cp932.h"

bool IsWallpaperFile(std::u16string_view name) {
    const std::size_t dot = name.rfind(u'.');
    if (dot == std::u16string_view::npos)
        return false;
    std::string extension;
    for (const char16_t c : name.substr(dot)) {
        if (c >= 0x80)
            return false;
        extension += static_cast<char>(c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c);
    }
    for (const char* usable : {".jpg", ".jpeg", ".jpe", ".jfif", ".png", ".bmp", ".dib", ".gif", ".tif", ".tiff", ".htm",
                               ".html"})
        if (extension == usable)
            return true;
    return false;
}

int WallpaperStyleCode(const std::string& style) {
    const char* const names[] = {"Center", "Tile", "Stretch", "Fit", "Fill", "Span"};
    for (int code = 0; code < 6; ++code)
        if (style == names[code])
            return code;
    return -1;
}

std::string WallpaperListFolder(const std::string& folder) {
    return EndsWithChar932(folder, '\\') ? folder : folder + "\\";
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
