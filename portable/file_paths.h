// Path text rules, code page 932 aware: a trail byte 0x5C is not a separator.
#pragma once

#include <string>

// The folder of a file path without its trailing backslash; a drive root
// keeps its backslash ("C:\x.exe" gives "C:\").
std::string ExtractFileDir(const std::string& path);
// The path with the extension of its file name replaced (or appended).
std::string ChangeFileExt(const std::string& path, const std::string& extension);
