#include "wallpaper/wallpaper_list.h"

#include <shlwapi.h>

#include <algorithm>

#include "framework/handles.h"
#include "portable/wallpaper_rules.h"
#include "wallpaper/utf16.h"

namespace {

// Junctions and links could lead in a circle; cloud placeholders are
// reparse points too, but no name surrogates, and are entered.
bool Enterable(const WIN32_FIND_DATAW& found) {
    if (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
        return false;
    return !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || !IsReparseTagNameSurrogate(found.dwReserved0);
}

bool NameBefore(const std::u16string& a, const std::u16string& b) {
    return StrCmpLogicalW(WidePtr(a), WidePtr(b)) < 0;
}

void ListFolder(const TListing& listing, const std::function<bool()>& abandoned, const std::u16string& prefix,
                std::vector<std::u16string>& paths) {
    if (abandoned && abandoned())
        return;
    std::vector<std::u16string> files;
    std::vector<std::u16string> folders;
    {
        WIN32_FIND_DATAW found;
        // No short names, fetched in large blocks.
        unique_find search(FindFirstFileExW(WidePtr(listing.folder + prefix + u"*"), FindExInfoBasic, &found,
                                            FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
        if (!search)
            return;
        do {
            const std::u16string_view name(reinterpret_cast<const char16_t*>(found.cFileName));
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                // In the directory's order the files go straight to the list.
                if (IsWallpaperFile(name))
                    (listing.byName ? files : paths).push_back(prefix + std::u16string(name));
            } else if (listing.subFolders && name != u"." && name != u".." && Enterable(found)) {
                folders.emplace_back(name);
            }
        } while (FindNextFileW(search.get(), &found));
    }
    if (listing.byName) {
        std::sort(files.begin(), files.end(), NameBefore);
        std::sort(folders.begin(), folders.end(), NameBefore);
        paths.insert(paths.end(), files.begin(), files.end());
    }
    for (const std::u16string& folder : folders)
        ListFolder(listing, abandoned, prefix + folder + u"\\", paths);
}

}  // namespace

std::vector<std::u16string> ListWallpapers(const TListing& listing, const std::function<bool()>& abandoned) {
    std::vector<std::u16string> paths;
    ListFolder(listing, abandoned, std::u16string(), paths);
    return paths;
}
