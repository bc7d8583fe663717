#include "wallpaper/wallpaper_list.h"

#include "framework/handles.h"
#include "portable/wallpaper_rules.h"
#include "wallpaper/utf16.h"

std::vector<std::u16string> ListWallpapers(const std::u16string& folder) {
    std::vector<std::u16string> names;
    WIN32_FIND_DATAW found;
    // Every entry, whatever its attributes; no short names, fetched in large blocks.
    unique_find search(FindFirstFileExW(WidePtr(folder + u"*.*"), FindExInfoBasic, &found, FindExSearchNameMatch,
                                        nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!search)
        return names;
    do {
        const std::u16string name = FromWide(found.cFileName);
        if (IsWallpaperFile(name))
            names.push_back(name);
    } while (FindNextFileW(search.get(), &found));
    return names;
}
