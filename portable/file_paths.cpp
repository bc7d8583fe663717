#include "portable/file_paths.h"

#include "portable/cp932.h"

std::string ExtractFileDir(const std::string& path) {
    const std::size_t slash = FindLastChar932(path, '\\');
    const std::size_t colon = FindLastChar932(path, ':');
    if (slash == std::string::npos)
        return colon == std::string::npos ? std::string() : path.substr(0, colon + 1);
    if (colon != std::string::npos && colon > slash)
        return path.substr(0, colon + 1);
    // Keep the separator of a root: "C:\" and the leading "\\" of a share.
    const std::string before = path.substr(0, slash);
    const bool root = slash == 0 || path[slash - 1] == ':' || FindLastChar932(before, '\\') + 1 == slash;
    return path.substr(0, root ? slash + 1 : slash);
}

std::string ChangeFileExt(const std::string& path, const std::string& extension) {
    const std::size_t slash = FindLastChar932(path, '\\');
    const std::size_t dot = FindLastChar932(path, '.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + extension;
    return path.substr(0, dot) + extension;
}
