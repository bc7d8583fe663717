// Integer and boolean values of the settings file, which stores every value
// as text. Portable: no <windows.h> here.
#pragma once

#include <cstdint>
#include <string>

// The integer a value's text holds, or defaultValue when it holds none.
std::int32_t ProfileInteger(const std::string& text, std::int32_t defaultValue);
// A boolean is an integer: true when it is not 0.
bool ProfileBoolean(const std::string& text, bool defaultValue);
// The text an integer is written as: decimal.
std::string ProfileIntegerText(std::int32_t value);
// The text a boolean is written as: "1" or "0".
std::string ProfileBooleanText(bool value);
