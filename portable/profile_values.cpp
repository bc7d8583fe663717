#include "portable/profile_values.h"

#include <optional>
#include <string_view>

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// At least one digit, every character a digit, and a value that fits 32 bits.
std::optional<std::uint32_t> HexValue(std::string_view digits) {
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFu)
            return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

// At least one digit, every character a digit; stops counting above 2^31.
std::optional<std::int64_t> DecimalMagnitude(std::string_view digits) {
    if (digits.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::int64_t{1} << 31)
            return std::nullopt;
    }
    return value;
}

}  // namespace

// "0x" needs a digit behind it: a text of two characters falls to the decimal
// rule and gives the default. "$" may follow a sign. Hexadecimal digits are a
// 32-bit pattern ("0xFFFFFFFF" is -1) and a minus sign negates it modulo 2^32;
// more than 32 bits, a decimal outside the 32-bit range, a blank anywhere (the
// text is not trimmed) or any other character gives the default.
std::int32_t ProfileInteger(const std::string& text, std::int32_t defaultValue) {
    std::string_view rest = text;
    if (rest.size() > 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        const std::optional<std::uint32_t> value = HexValue(rest.substr(2));
        return value ? static_cast<std::int32_t>(*value) : defaultValue;
    }
    const bool negative = !rest.empty() && rest[0] == '-';
    if (!rest.empty() && (rest[0] == '-' || rest[0] == '+'))
        rest.remove_prefix(1);
    if (!rest.empty() && rest[0] == '$') {
        const std::optional<std::uint32_t> value = HexValue(rest.substr(1));
        if (!value)
            return defaultValue;
        return static_cast<std::int32_t>(negative ? 0u - *value : *value);
    }
    const std::optional<std::int64_t> magnitude = DecimalMagnitude(rest);
    if (!magnitude)
        return defaultValue;
    const std::int64_t value = negative ? -*magnitude : *magnitude;
    if (value > INT32_MAX)
        return defaultValue;
    return static_cast<std::int32_t>(value);
}

bool ProfileBoolean(const std::string& text, bool defaultValue) {
    return ProfileInteger(text, defaultValue ? 1 : 0) != 0;
}

std::string ProfileIntegerText(std::int32_t value) {
    return std::to_string(value);
}

std::string ProfileBooleanText(bool value) {
    return value ? "1" : "0";
}
