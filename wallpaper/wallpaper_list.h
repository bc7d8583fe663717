// The folder's usable entries, as the directory gives them.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct TListing {
    // A full path ending in "\".
    std::u16string folder;
    bool subFolders = false;
    // Names as Explorer sorts them ("2.jpg" before "10.jpg", case ignored),
    // else the order the directory gives.
    bool byName = false;
    // The monitors' areas are wanted too.
    bool monitors = false;
};

// The usable files of the folder and, with subFolders, of its subfolders, as
// paths relative to it ("sub\b.jpg"): a folder's files first, then its
// subfolders', each in the order asked for. Folders are never files; hidden
// and system folders, junctions and symbolic links are not entered. Reads
// the directories' entries only: no file is opened, so a file kept in the
// cloud is not fetched to be listed. Empty when the folder cannot be read.
// Asks abandoned before each folder and stops, with part of the list, once
// it says true.
std::vector<std::u16string> ListWallpapers(const TListing& listing, const std::function<bool()>& abandoned = {});
