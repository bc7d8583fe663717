#include "framework/failure.h"

#include <windows.h>

#include <cstdarg>

// wvsprintfA rather than the C runtime's printf, which would add its whole
// floating-point formatter to a program that prints no numbers but integers.
std::string FormatText(const char* format, ...) {
    char buffer[1025] = {};
    va_list args;
    va_start(args, format);
    const int length = wvsprintfA(buffer, format, args);
    va_end(args);
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::string SysErrorMessage(unsigned long code) {
    char buffer[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                  buffer, sizeof(buffer), nullptr);
    while (length > 0 && (static_cast<unsigned char>(buffer[length - 1]) <= ' ' || buffer[length - 1] == '.'))
        --length;
    return std::string(buffer, length);
}
