// The shortcut text's platform services on Windows.
#include <windows.h>

#include "portable/shortcut.h"

namespace {

unsigned MapKey(unsigned code) {
    return MapVirtualKeyA(code, 0);
}

int KeyNameText(long lParam, char* buffer, int size) {
    return GetKeyNameTextA(lParam, buffer, size);
}

bool SameText(const char* a, int aLength, const char* b, int bLength) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, aLength, b, bLength) == CSTR_EQUAL;
}

const TKeyboardPlatform kWindowsKeyboard = {MapKey, KeyNameText, SameText};

}  // namespace

const TKeyboardPlatform& DefaultKeyboardPlatform() {
    return kWindowsKeyboard;
}
