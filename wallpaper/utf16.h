// Paths inside the wallpaper room are UTF-16, as the wide calls take them.
// They are held as std::u16string: std::wstring would pull its whole library
// instantiation into the program.
#pragma once

#include <windows.h>

#include <string>

inline const WCHAR* WidePtr(const std::u16string& text) {
    return reinterpret_cast<const WCHAR*>(text.c_str());
}
