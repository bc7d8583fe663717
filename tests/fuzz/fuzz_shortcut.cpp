// Shortcut text: whatever a settings file holds, a value read from it is
// written back as a text that reads as the same value; and a value written
// out reads back as the rules for shared and missing key names say.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "portable/shortcut.h"

namespace {

bool SameName(const std::string& a, const std::string& b) {
    return KeyboardPlatform().SameTextIgnoreCase(a.data(), static_cast<int>(a.size()), b.data(),
                                                 static_cast<int>(b.size()));
}

void Require(bool condition) {
    if (!condition)
        std::abort();
}

void CheckReadValue(const std::string& text) {
    const TShortCut value = ParseShortCut(text);
    if (value == 0)
        return;
    const std::string written = FormatShortCut(value);
    Require(!written.empty());
    Require(ParseShortCut(written) == value);
}

// For each key code, the lowest code 8..255 whose name is the same, or 0:
// worked out once, since every input needs it.
const std::array<unsigned, 256>& LowestOfSameName() {
    static const std::array<unsigned, 256> table = [] {
        std::array<std::string, 256> names;
        for (unsigned key = 0; key <= 0xFF; ++key)
            names[key] = FormatShortCut(static_cast<TShortCut>(key));
        std::array<unsigned, 256> lowest{};
        for (unsigned key = 0; key <= 0xFF; ++key)
            for (unsigned other = 8; other <= 0xFF && lowest[key] == 0; ++other)
                if (!names[key].empty() && SameName(names[other], names[key]))
                    lowest[key] = other;
        return lowest;
    }();
    return table;
}

void CheckWrittenValue(TShortCut value) {
    const unsigned key = value & 0xFF;
    const std::string name = FormatShortCut(static_cast<TShortCut>(key));
    const std::string text = FormatShortCut(value);
    const TShortCut back = ParseShortCut(text);
    if (name.empty()) {
        Require(text.empty() && back == 0);
        return;
    }
    Require(!text.empty());
    // Where two codes share a name the lower one is read back.
    const unsigned lowest = LowestOfSameName()[key];
    Require(back == (lowest == 0 ? 0 : (value & 0xE000) | lowest));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckReadValue(std::string(reinterpret_cast<const char*>(data), size));
    if (size >= 2)
        CheckWrittenValue(static_cast<TShortCut>(data[0] | data[1] << 8));
    return 0;
}
