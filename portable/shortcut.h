// Shortcut values (virtual-key code plus Shift/Ctrl/Alt) and their text form,
// the form the settings file stores. Portable: no <windows.h> here.
#pragma once

#include <cstdint>
#include <string>

using TShortCut = std::uint16_t;

// Modifier flags as the hotkey component receives them: Shift 1, Alt 2, Ctrl 4.
using ModifierSet = std::uint8_t;
constexpr ModifierSet modShift = 1;
constexpr ModifierSet modAlt = 2;
constexpr ModifierSet modCtrl = 4;

constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// The platform services the text form needs. The Windows build binds them to
// MapVirtualKeyA, GetKeyNameTextA and CompareStringA; host tests bind fakes.
// The fields are not named after those calls, which windows.h makes macros.
struct TKeyboardPlatform {
    // MapVirtualKeyA(code, 0): virtual-key code to scan code.
    unsigned (*VirtualKeyToScanCode)(unsigned code);
    // GetKeyNameTextA(lParam, buffer, size): length written, 0 when no name.
    int (*KeyNameText)(long lParam, char* buffer, int size);
    // CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, ...) == CSTR_EQUAL.
    bool (*SameTextIgnoreCase)(const char* a, int aLength, const char* b, int bLength);
};

// Installs the platform services; the pointer must outlive every call below.
void SetKeyboardPlatform(const TKeyboardPlatform* platform);
// The services in use: the installed ones, else DefaultKeyboardPlatform().
const TKeyboardPlatform& KeyboardPlatform();
// The build's own services (the Windows calls, or the host's US keyboard);
// defined once per build, never null, lives for the whole run.
const TKeyboardPlatform& DefaultKeyboardPlatform();

TShortCut MakeShortCut(std::uint16_t key, ModifierSet modifiers);
void SplitShortCut(TShortCut value, std::uint16_t& key, ModifierSet& modifiers);
// The text form, which reads back as the same key and modifiers on every
// keyboard layout; empty for no key.
std::string FormatShortCut(TShortCut value);
// Reads what FormatShortCut writes, and every text earlier versions wrote
// (the layout's names among them) as they read it; 0 for no key.
TShortCut ParseShortCut(const std::string& text);
std::string PlatformKeyName(std::uint8_t keyCode);
TShortCut HotKeyWordToShortCut(std::uint16_t word);
// The hotkey control's word, with HOTKEYF_EXT for the keys only extended scan codes give.
std::uint16_t ShortCutToHotKeyWord(TShortCut value);
