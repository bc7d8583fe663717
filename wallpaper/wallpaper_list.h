// The folder's usable entries, as the directory gives them.
#pragma once

#include <string>
#include <vector>

// The names of the usable entries of a folder (a full path ending in "\"),
// in the order the directory search returns them. Reads the directory's
// entries only: no file is opened, so a file kept in the cloud is not
// fetched to be listed. Empty when the folder cannot be read.
std::vector<std::u16string> ListWallpapers(const std::u16string& folder);
