// Shortcut text: whatever a settings file holds, a value read from it is
// written back as a text that reads as the same value; and a value written
// out reads back as the rules for shared and missing key names say.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "hotkeys/shortcut.h"

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
    unsigned lowest = 8;
    while (lowest <= 0xFF && !SameName(FormatShortCut(static_cast<TShortCut>(lowest)), name))
        ++lowest;
    Require(back == (lowest > 0xFF ? 0 : (value & 0xE000) | lowest));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckReadValue(std::string(reinterpret_cast<const char*>(data), size));
    if (size >= 2)
        CheckWrittenValue(static_cast<TShortCut>(data[0] | data[1] << 8));
    return 0;
}
