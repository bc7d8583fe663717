#include "framework/wide_text.h"

std::vector<WCHAR> WideText(const std::string& text, UINT codePage) {
    const int length = MultiByteToWideChar(codePage, 0, text.c_str(), -1, nullptr, 0);
    std::vector<WCHAR> wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    if (length > 0)
        MultiByteToWideChar(codePage, 0, text.c_str(), -1, wide.data(), length);
    return wide;
}
