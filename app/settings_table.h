// The settings record described once: a row for each key of the settings
// file, in file order, with the main window's member that holds it and the
// dialog's field that edits it; a hotkey's row also has its identifier and
// the name of its chore. Loading, saving, registering and releasing the
// hotkeys, and the dialog's filling and applying all go by these rows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TKorvanMain;
class TKorvanProp;
class THotKey;
class TEdit;
class TSpinEdit;
class TRadioGroup;
class TComboBox;
class TCheckBox;

// The hotkeys' identifiers, given to the system and to the dispatcher.
enum THotKeyIndex : int { hkPaint = 1, hkScreenSaver = 2, hkExitDialog = 3, hkPanic = 4, hkWallPaper = 5 };

enum class TSettingKind {
    HotKey,   // shortcut text; an empty one leaves the member and its registration as they were
    Title,    // text; an empty one leaves the member as it was
    Folder,   // text, the program's folder when the key is missing; always stored
    Text,     // text, empty when the key is missing; always stored
    Integer,  // decimal text; the default when missing or unreadable
    Boolean,  // "1" or "0"; the default when missing or unreadable
};

struct TSetting {
    const char* section;
    const char* key;
    TSettingKind kind;
    std::string TKorvanMain::*text = nullptr;  // HotKey, Title, Folder
    std::int32_t TKorvanMain::*number = nullptr;
    bool TKorvanMain::*flag = nullptr;
    std::int32_t defaultValue = 0;  // Integer, Boolean
    int hotKey = 0;
    const char* chore = nullptr;  // HotKey: as its page names it
    THotKey* TKorvanProp::*hotKeyField = nullptr;
    TEdit* TKorvanProp::*textField = nullptr;
    TSpinEdit* TKorvanProp::*spinField = nullptr;
    TRadioGroup* TKorvanProp::*radioField = nullptr;
    // A choice: a combo box's item or a check box's state (0 off, 1 on).
    TComboBox* TKorvanProp::*comboField = nullptr;
    TCheckBox* TKorvanProp::*checkField = nullptr;
    // A text's choice: the value each item stands for (a number's item is the number).
    const char* const* choices = nullptr;
};

// Every row, in the order of the settings file; lives for the whole run.
const std::vector<TSetting>& Settings();
