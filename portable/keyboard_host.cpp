// The host's keyboard services: a US layout as MapVirtualKeyA(code, 0) and
// GetKeyNameTextA report it, and a comparison that ignores the case of A-Z.
#include <algorithm>
#include <cstring>
#include <string>

#include "portable/cp932.h"
#include "portable/shortcut.h"

namespace {

struct TCodeScan {
    unsigned code;
    unsigned scan;
};

struct TScanName {
    unsigned scan;
    const char* name;
};

// Character keys by scan code 0x00-0x35, named by their character; 0 elsewhere.
constexpr char kCharacterKeys[] = "\0\0" "1234567890-=" "\0\0" "QWERTYUIOP[]" "\0\0" "ASDFGHJKL;'`" "\0\\" "ZXCVBNM,./";

// Virtual-key codes other than digits and letters. Cursor keys give the keypad's
// scan codes (their extended bit is what tells them apart), Num Lock that of Pause.
constexpr TCodeScan kCodeScans[] = {
    {0x08, 0x0E}, {0x09, 0x0F}, {0x0D, 0x1C}, {0x10, 0x2A}, {0x11, 0x1D}, {0x12, 0x38}, {0x13, 0x45},
    {0x14, 0x3A}, {0x1B, 0x01}, {0x20, 0x39}, {0x21, 0x49}, {0x22, 0x51}, {0x23, 0x4F}, {0x24, 0x47},
    {0x25, 0x4B}, {0x26, 0x48}, {0x27, 0x4D}, {0x28, 0x50}, {0x2C, 0x54}, {0x2D, 0x52}, {0x2E, 0x53},
    {0x60, 0x52}, {0x61, 0x4F}, {0x62, 0x50}, {0x63, 0x51}, {0x64, 0x4B}, {0x65, 0x4C}, {0x66, 0x4D},
    {0x67, 0x47}, {0x68, 0x48}, {0x69, 0x49}, {0x6A, 0x37}, {0x6B, 0x4E}, {0x6D, 0x4A}, {0x6E, 0x53},
    {0x6F, 0x35}, {0x70, 0x3B}, {0x71, 0x3C}, {0x72, 0x3D}, {0x73, 0x3E}, {0x74, 0x3F}, {0x75, 0x40},
    {0x76, 0x41}, {0x77, 0x42}, {0x78, 0x43}, {0x79, 0x44}, {0x7A, 0x57}, {0x7B, 0x58}, {0x90, 0x45},
    {0x91, 0x46}, {0xA0, 0x2A}, {0xA1, 0x36}, {0xA2, 0x1D}, {0xA3, 0x1D}, {0xA4, 0x38}, {0xA5, 0x38},
    {0xBA, 0x27}, {0xBB, 0x0D}, {0xBC, 0x33}, {0xBD, 0x0C}, {0xBE, 0x34}, {0xBF, 0x35}, {0xC0, 0x29},
    {0xDB, 0x1A}, {0xDC, 0x2B}, {0xDD, 0x1B}, {0xDE, 0x28}, {0xE2, 0x56},
};

constexpr TScanName kScanNames[] = {
    {0x01, "Esc"},     {0x0E, "Backspace"}, {0x0F, "Tab"},       {0x1C, "Enter"},       {0x1D, "Ctrl"},
    {0x2A, "Shift"},   {0x36, "Right Shift"}, {0x37, "Num *"},   {0x38, "Alt"},         {0x39, "Space"},
    {0x3A, "Caps Lock"}, {0x3B, "F1"},      {0x3C, "F2"},        {0x3D, "F3"},          {0x3E, "F4"},
    {0x3F, "F5"},      {0x40, "F6"},        {0x41, "F7"},        {0x42, "F8"},          {0x43, "F9"},
    {0x44, "F10"},     {0x45, "Pause"},     {0x46, "Scroll Lock"}, {0x47, "Num 7"},     {0x48, "Num 8"},
    {0x49, "Num 9"},   {0x4A, "Num -"},     {0x4B, "Num 4"},     {0x4C, "Num 5"},       {0x4D, "Num 6"},
    {0x4E, "Num +"},   {0x4F, "Num 1"},     {0x50, "Num 2"},     {0x51, "Num 3"},       {0x52, "Num 0"},
    {0x53, "Num Del"}, {0x54, "Sys Req"},   {0x56, "\\"},        {0x57, "F11"},         {0x58, "F12"},
};

unsigned MapKey(unsigned code) {
    const bool character = (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z');
    if (character)
        return static_cast<unsigned>(std::find(std::begin(kCharacterKeys), std::end(kCharacterKeys),
                                               static_cast<char>(code)) - kCharacterKeys);
    for (const TCodeScan& entry : kCodeScans)
        if (entry.code == code)
            return entry.scan;
    return 0;
}

std::string ScanName(unsigned scan) {
    if (scan < sizeof kCharacterKeys - 1 && kCharacterKeys[scan] != 0)
        return std::string(1, kCharacterKeys[scan]);
    for (const TScanName& entry : kScanNames)
        if (entry.scan == scan)
            return entry.name;
    return {};
}

int KeyNameText(long lParam, char* buffer, int size) {
    const unsigned long bits = static_cast<unsigned long>(lParam);
    // Extended keys have names of their own, which this layout leaves out.
    const std::string name = (bits & 0x01000000) ? std::string() : ScanName((bits >> 16) & 0xFF);
    if (size <= 0)
        return 0;
    const int length = std::min(static_cast<int>(name.size()), size - 1);
    std::memcpy(buffer, name.data(), length);
    buffer[length] = 0;
    return length;
}

bool SameText(const char* a, int aLength, const char* b, int bLength) {
    return LowerAscii932(std::string(a, aLength)) == LowerAscii932(std::string(b, bLength));
}

const TKeyboardPlatform kHostKeyboard = {MapKey, KeyNameText, SameText};

}  // namespace

const TKeyboardPlatform& DefaultKeyboardPlatform() {
    return kHostKeyboard;
}
