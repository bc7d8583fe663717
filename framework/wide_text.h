// Text as UTF-16, for the wide calls.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The program's own texts are code page 932 bytes, whatever code page the
// system or the process uses for the ANSI calls.
constexpr UINT kTextCodePage = 932;

// text, read in codePage, as zero-terminated UTF-16 (only the zero when it
// cannot be read). A vector: std::wstring would add its whole library
// instantiation to the program.
std::vector<WCHAR> WideText(const std::string& text, UINT codePage = kTextCodePage);
