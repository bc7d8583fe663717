// Settings file values: any text reads without fault, a decimal text reads as
// the number it spells when that fits 32 bits, and every written value reads back.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "portable/profile_values.h"

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

bool IsPlainDecimal(const std::string& text) {
    const std::size_t first = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    return text.size() > first && text.find_first_not_of("0123456789", first) == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::int32_t read = ProfileInteger(text, 10);
    Require(ProfileBoolean(text, true) == (ProfileInteger(text, 1) != 0));

    if (IsPlainDecimal(text)) {
        errno = 0;
        const long long expected = std::strtoll(text.c_str(), nullptr, 10);
        const bool fits = errno == 0 && expected >= INT32_MIN && expected <= INT32_MAX;
        Require(fits ? read == expected : read == 10);
    }

    if (size >= 4) {
        std::int32_t value;
        std::memcpy(&value, data, sizeof value);
        Require(ProfileInteger(ProfileIntegerText(value), value ^ 1) == value);
        const bool flag = data[0] & 1;
        Require(ProfileBoolean(ProfileBooleanText(flag), !flag) == flag);
    }
    return 0;
}
