// Character handling of code page 932 text: a character is one byte, or a lead
// byte followed by a trail byte. Trail bytes include "\" and "A".."Z", so a
// byte test on the end of a path or a name is wrong for Japanese names.
#pragma once

#include <cstddef>
#include <string>

bool IsLeadByte932(unsigned char byte);
// Offset of the last character of text; text.size() when it is empty.
std::size_t LastCharOffset932(const std::string& text);
// True when the last character of text is the one-byte character c.
bool EndsWithChar932(const std::string& text, char c);
// Offset of the last one-byte character c, or std::string::npos.
std::size_t FindLastChar932(const std::string& text, char c);
// Lower-cases A-Z only, leaving every double-byte character as it is.
std::string LowerAscii932(const std::string& text);
