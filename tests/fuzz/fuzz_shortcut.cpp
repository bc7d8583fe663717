// Shortcut text: whatever a settings file holds, a value read from it is
// written back as a text that reads as the same value; and every value
// written out reads back as itself.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "portable/shortcut.h"

namespace {

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

// Every key is written under a name that reads back as itself; no key as nothing.
void CheckWrittenValue(TShortCut value) {
    const std::string text = FormatShortCut(value);
    Require(text.empty() == ((value & 0xFF) == 0));
    Require(ParseShortCut(text) == (text.empty() ? 0 : (value & 0xE0FF)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckReadValue(std::string(reinterpret_cast<const char*>(data), size));
    if (size >= 2)
        CheckWrittenValue(static_cast<TShortCut>(data[0] | data[1] << 8));
    return 0;
}
