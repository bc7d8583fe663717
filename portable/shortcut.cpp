#include "portable/shortcut.h"

#include <cstring>
#include <string_view>

#include "portable/cp932.h"

namespace {

const TKeyboardPlatform* installedPlatform = nullptr;

struct TPrefix {
    const char* text;
    TShortCut flag;
};

// Written in this order; "^" is only ever read.
constexpr TPrefix kShiftPrefix = {"Shift+", scShift};
constexpr TPrefix kCtrlPrefix = {"Ctrl+", scCtrl};
constexpr TPrefix kAltPrefix = {"Alt+", scAlt};
constexpr TPrefix kReadPrefixes[] = {kShiftPrefix, {"^", scCtrl}, kCtrlPrefix, kAltPrefix};

// One modifier in its three encodings: the value's bit, the modifier set's
// flag, and the hotkey control's HOTKEYF_ flag.
struct TModifierBits {
    TShortCut value;
    ModifierSet set;
    unsigned hotKey;
};

constexpr TModifierBits kModifierBits[] = {{scShift, modShift, 0x01}, {scCtrl, modCtrl, 0x02}, {scAlt, modAlt, 0x04}};

// HOTKEYF_EXT: the key comes with an extended scan code.
constexpr unsigned kHotKeyExtended = 0x08;

// The keys that only extended scan codes give (Break, the block between the
// main keys and the keypad, the Windows and menu keys, Num Lock and the
// keypad's divide key). The hotkey control names a key from its scan code,
// which without the flag is that of the key of the keypad or main block
// that shares it: PgDn would show as Num 3.
bool IsExtendedKey(unsigned k) {
    return k == 0x03 || (k >= 0x21 && k <= 0x28) || k == 0x2D || k == 0x2E || (k >= 0x5B && k <= 0x5D) ||
           k == 0x6F || k == 0x90;
}

struct TFixedName {
    std::uint8_t code;
    const char* name;
};

constexpr TFixedName kFixedNames[] = {
    {0x08, "BkSp"}, {0x09, "Tab"},  {0x0D, "Enter"}, {0x1B, "Esc"},   {0x20, "Space"},
    {0x21, "PgUp"}, {0x22, "PgDn"}, {0x23, "End"},   {0x24, "Home"},  {0x25, "Left"},
    {0x26, "Up"},   {0x27, "Right"}, {0x28, "Down"}, {0x2D, "Ins"},   {0x2E, "Del"},
};

// The names that are the same on every system and that earlier versions
// wrote too; empty for the keys whose name came from the keyboard layout.
std::string FixedKeyName(std::uint8_t k) {
    if ((k >= '0' && k <= '9') || (k >= 'A' && k <= 'Z'))
        return std::string(1, static_cast<char>(k));
    if (k >= 0x70 && k <= 0x87)
        return "F" + std::to_string(k - 0x6F);
    for (const TFixedName& entry : kFixedNames)
        if (entry.code == k)
            return entry.name;
    return {};
}

// The name written for every other key: a layout's name may be a prefix
// ("^"), shared by two keys ("\"), or another key's on the layout that reads
// it, so these are ours. The keypad's are "Num" and the key's character (its
// codes follow "0"-"9" and "*+,-./" in order), the rest "VK_" and the code.
std::string OwnKeyName(std::uint8_t k) {
    if (k >= 0x60 && k <= 0x69)
        return std::string("Num") + static_cast<char>('0' + (k - 0x60));
    if (k >= 0x6A && k <= 0x6F)
        return std::string("Num") + static_cast<char>('*' + (k - 0x6A));
    constexpr char kHex[] = "0123456789ABCDEF";
    return std::string("VK_") + kHex[k >> 4] + kHex[k & 0x0F];
}

// The name this version writes; empty for no key.
std::string KeyName(std::uint8_t k) {
    std::string name = FixedKeyName(k);
    return !name.empty() || k == 0 ? name : OwnKeyName(k);
}

// The name earlier versions wrote: the keypad's digits as the main block's,
// the layout's one-character name for the keys without a fixed one.
std::string EarlierKeyName(std::uint8_t k) {
    if (k >= 0x60 && k <= 0x69)
        return std::string(1, static_cast<char>('0' + (k - 0x60)));
    std::string name = FixedKeyName(k);
    return name.empty() ? PlatformKeyName(k) : name;
}

bool SameText(std::string_view a, std::string_view b) {
    return KeyboardPlatform().SameTextIgnoreCase(a.data(), static_cast<int>(a.size()), b.data(),
                                                 static_cast<int>(b.size()));
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

}  // namespace

void SetKeyboardPlatform(const TKeyboardPlatform* platform) {
    installedPlatform = platform;
}

const TKeyboardPlatform& KeyboardPlatform() {
    return installedPlatform ? *installedPlatform : DefaultKeyboardPlatform();
}

TShortCut MakeShortCut(std::uint16_t key, ModifierSet modifiers) {
    if (key > 0xFF)
        return 0;
    TShortCut value = key;
    for (const TModifierBits& bits : kModifierBits)
        if (modifiers & bits.set)
            value |= bits.value;
    return value;
}

void SplitShortCut(TShortCut value, std::uint16_t& key, ModifierSet& modifiers) {
    key = value & 0x1FFF;
    modifiers = 0;
    for (const TModifierBits& bits : kModifierBits)
        if (value & bits.value)
            modifiers |= bits.set;
}

std::string FormatShortCut(TShortCut value) {
    const std::string name = KeyName(value & 0xFF);
    if (name.empty())
        return {};
    std::string text;
    for (const TPrefix& prefix : {kShiftPrefix, kCtrlPrefix, kAltPrefix})
        if (value & prefix.flag)
            text += prefix.text;
    return text + name;
}

TShortCut ParseShortCut(const std::string& text) {
    std::string_view rest = text;
    TShortCut modifiers = 0;
    for (bool found = true; found;) {
        found = false;
        for (const TPrefix& prefix : kReadPrefixes) {
            if (StartsWith(rest, prefix.text)) {
                rest.remove_prefix(std::strlen(prefix.text));
                modifiers |= prefix.flag;
                found = true;
                break;
            }
        }
    }
    if (rest.empty())
        return 0;
    // Earlier names first, lowest code first, so that every text read before
    // means what it meant: a name two keys share reads as the lower one. No
    // earlier name is one of our own, which are longer than one character.
    for (unsigned k = 8; k <= 0xFF; ++k)
        if (SameText(rest, EarlierKeyName(static_cast<std::uint8_t>(k))))
            return static_cast<TShortCut>(k | modifiers);
    for (unsigned k = 1; k <= 0xFF; ++k)
        if (SameText(rest, KeyName(static_cast<std::uint8_t>(k))))
            return static_cast<TShortCut>(k | modifiers);
    return 0;
}

std::string PlatformKeyName(std::uint8_t keyCode) {
    const TKeyboardPlatform& platform = KeyboardPlatform();
    // Shifted in 32 bits, as the lParam it becomes: a scan code that shifts out means no key.
    const std::uint32_t lParam = static_cast<std::uint32_t>(platform.VirtualKeyToScanCode(keyCode)) << 16;
    if (lParam == 0)
        return {};
    char buffer[256] = {};
    platform.KeyNameText(static_cast<long>(static_cast<std::int32_t>(lParam)), buffer, sizeof buffer);
    // One byte only: a word, or a double-byte character (even a lone lead byte), is no name.
    if (buffer[0] == 0 || buffer[1] != 0 || IsLeadByte932(static_cast<unsigned char>(buffer[0])))
        return {};
    return std::string(1, buffer[0]);
}

TShortCut HotKeyWordToShortCut(std::uint16_t word) {
    const unsigned flags = word >> 8;
    TShortCut value = word & 0xFF;
    for (const TModifierBits& bits : kModifierBits)
        if (flags & bits.hotKey)
            value |= bits.value;
    return value;
}

std::uint16_t ShortCutToHotKeyWord(TShortCut value) {
    unsigned flags = IsExtendedKey(value & 0xFF) ? kHotKeyExtended : 0;
    for (const TModifierBits& bits : kModifierBits)
        if (value & bits.value)
            flags |= bits.hotKey;
    return static_cast<std::uint16_t>((value & 0xFF) | (flags << 8));
}
