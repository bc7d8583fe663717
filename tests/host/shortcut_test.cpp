#include "portable/shortcut.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

struct FormatCase {
    TShortCut value;
    const char* text;
};

struct ParseCase {
    std::string text;
    TShortCut value;
};

// The keys a Japanese 106/109 keyboard names with one character (code, scan code, name).
constexpr std::tuple<unsigned, unsigned, const char*> kJapaneseKeys[] = {
    {0xBA, 0x28, ":"}, {0xBB, 0x27, ";"}, {0xBC, 0x33, ","}, {0xBD, 0x0C, "-"}, {0xBE, 0x34, "."}, {0xBF, 0x35, "/"},
    {0x6F, 0x35, "/"}, {0xC0, 0x1A, "@"}, {0xDB, 0x1B, "["}, {0xDC, 0x7D, "\\"}, {0xDD, 0x2B, "]"}, {0xDE, 0x0D, "^"},
    {0xE2, 0x73, "\\"}};

TEST(ShortCutValue, SplitsAndMakesWithTheModifierSetOrder) {
    std::uint16_t key = 0;
    ModifierSet modifiers = 0;
    SplitShortCut(0xA041, key, modifiers);
    EXPECT_EQ(key, 0x41);
    EXPECT_EQ(modifiers, modShift | modAlt);
    SplitShortCut(0x4141, key, modifiers);
    EXPECT_EQ(key, 0x0141);
    EXPECT_EQ(modifiers, modCtrl);
    SplitShortCut(0x1FFF, key, modifiers);
    EXPECT_EQ(key, 0x1FFF);
    EXPECT_EQ(modifiers, 0);

    EXPECT_EQ(MakeShortCut(0x41, 3), 0xA041);
    EXPECT_EQ(MakeShortCut(0x41, modCtrl), 0x4041);
    EXPECT_EQ(MakeShortCut(0xFF, 0xFF), 0xE0FF);
    EXPECT_EQ(MakeShortCut(0x100, 0), 0);
    EXPECT_EQ(MakeShortCut(0x1FFF, modCtrl), 0);

    for (unsigned v = 0; v <= 0xFFFF; ++v) {
        SplitShortCut(static_cast<TShortCut>(v), key, modifiers);
        const TShortCut expected = (v & 0x1F00) ? 0 : static_cast<TShortCut>(v);
        ASSERT_EQ(MakeShortCut(key, modifiers), expected) << std::hex << v;
    }
}

TEST(ShortCutValue, ConvertsHotKeyControlWords) {
    EXPECT_EQ(HotKeyWordToShortCut(0x0641), 0xC041);
    EXPECT_EQ(ShortCutToHotKeyWord(0xC041), 0x0641);
    EXPECT_EQ(HotKeyWordToShortCut(0x0925), 0x2025);
    EXPECT_EQ(HotKeyWordToShortCut(0x0141), 0x2041);
    EXPECT_EQ(ShortCutToHotKeyWord(0x2041), 0x0141);
    EXPECT_EQ(ShortCutToHotKeyWord(0x1F41), 0x0041);
    EXPECT_EQ(HotKeyWordToShortCut(0xF800), 0);
    // With HOTKEYF_EXT the keys only extended scan codes give, not those of the keypad sharing them.
    for (const auto& [value, word] : std::vector<std::pair<TShortCut, unsigned>>{
             {0x0022, 0x0822}, {0xC025, 0x0E25}, {0x4003, 0x0A03}, {0x006F, 0x086F}, {0x0063, 0x0063}, {0x000D, 0x000D}})
        EXPECT_EQ(ShortCutToHotKeyWord(value), word) << std::hex << value;

    for (unsigned v = 0; v <= 0xFFFF; ++v) {
        const auto value = static_cast<TShortCut>(v);
        ASSERT_EQ(HotKeyWordToShortCut(ShortCutToHotKeyWord(value)), v & 0xE0FF) << std::hex << v;
        ASSERT_EQ(ShortCutToHotKeyWord(HotKeyWordToShortCut(value)) & 0x07FF, v & 0x07FF) << std::hex << v;
    }
}

TEST(ShortCutText, FormatsNamesAfterPrefixesInOneOrder) {
    const FormatCase cases[] = {
        {0x0000, ""},         {0x4041, "Ctrl+A"},  {0xE041, "Shift+Ctrl+Alt+A"}, {0x2070, "Shift+F1"},
        {0x8087, "Alt+F24"},  {0x000D, "Enter"},   {0xC02E, "Ctrl+Alt+Del"},    {0x0020, "Space"},
        {0xA02E, "Shift+Alt+Del"}, {0x0008, "BkSp"}, {0x0009, "Tab"},           {0x001B, "Esc"},
        {0x0021, "PgUp"},     {0x0022, "PgDn"},    {0x0023, "End"},             {0x0024, "Home"},
        {0x0025, "Left"},     {0x0026, "Up"},      {0x0027, "Right"},           {0x0028, "Down"},
        {0x002D, "Ins"},      {0x0030, "0"},       {0x0039, "9"},               {0x005A, "Z"},
        {0x0060, "Num0"},     {0x4065, "Ctrl+Num5"}, {0x0069, "Num9"},          {0x0079, "F10"},
        {0x0141, "A"},        {0x1F41, "A"},       {0x60BA, "Shift+Ctrl+VK_BA"}, {0x00DC, "VK_DC"},
        // Every other key by a name of our own, which no layout changes; only no key has no text.
        {0x4000, ""},         {0xE014, "Shift+Ctrl+Alt+VK_14"}, {0x406A, "Ctrl+Num*"}, {0x206C, "Shift+Num,"},
        {0x0010, "VK_10"},    {0x0001, "VK_01"},   {0x0088, "VK_88"},           {0xE0FF, "Shift+Ctrl+Alt+VK_FF"},
        {0x006F, "Num/"},     {0xC0BF, "Ctrl+Alt+VK_BF"}, {0x00DE, "VK_DE"},
    };
    for (const FormatCase& c : cases)
        EXPECT_EQ(FormatShortCut(c.value), c.text) << std::hex << c.value;
}

TEST(ShortCutText, ParsesPrefixesInAnyCaseOrderAndNumber) {
    const ParseCase cases[] = {
        {"Ctrl+A", 0x4041},        {"ctrl+a", 0x4041},        {"CTRL+a", 0x4041},  {"^A", 0x4041},
        {"^a", 0x4041},            {"Ctrl+^A", 0x4041},       {"^^A", 0x4041},     {"Shift+Shift+A", 0x2041},
        {"Alt+Shift+Del", 0xA02E}, {"aLT+sHIFT+dEL", 0xA02E}, {"Alt+Ctrl+Shift+A", 0xE041},
        {"f12", 0x007B},           {"F1", 0x0070},            {"Alt+F24", 0x8087}, {"Enter", 0x000D},
        {"bksp", 0x0008},          {"SPACE", 0x0020},         {"Ctrl+5", 0x4035},  {"Ctrl+;", 0x40BA},
        {"=", 0x00BB},             {"`", 0x00C0},             {"Shift+'", 0x20DE}, {"Ctrl+/", 0x406F},
        {"Ctrl+Alt+VK_BF", 0xC0BF}, {"vk_bf", 0x00BF},        {"Num5", 0x0065},    {"ctrl+num/", 0x406F},
    };
    for (const ParseCase& c : cases)
        EXPECT_EQ(ParseShortCut(c.text), c.value) << '"' << c.text << '"';
}

TEST(ShortCutText, TextsThatNameNoKeyParseAsZero) {
    const std::string texts[] = {
        "",          "Shift+",     "Shift+Ctrl+", "^",          "Ctrl+^",    "F25",       "F0",
        "F01",       "Ctrl + A",   "Ctrl+ A",     "Ctrl +A",    " A",        "A ",        " Ctrl+A",
        "Ctrl+A ",   "Ctrl",       "Shift",       "Ctrl+Shift", "Shift-A",   "Control+A", "Shif+A",
        "Ctrl+AB",   "AB",         "Caps Lock",   "Num 5",      "Backspace", "+",         "Ctrl++",
        std::string("A\0", 2),     std::string("\0A", 2),       "\x82\x60",  "\xEF\xBC\xA1",
        "VK_",       "VK_00",      "VK_1",        "VK_100",     "Num",       "NumA",
    };
    for (const std::string& text : texts)
        EXPECT_EQ(ParseShortCut(text), 0) << '"' << text << '"';
}

// A keyboard each test describes, recording every call made to it.
class FakeKeyboard : public ::testing::Test {
protected:
    static inline std::map<unsigned, unsigned> scans;
    static inline std::map<unsigned long, std::string> namesByParam;
    static inline bool caseSensitive = false;
    static inline int mapCalls = 0;
    static inline std::vector<long> nameParams;
    static inline std::vector<int> nameSizes;
    static inline std::vector<std::pair<std::string, std::string>> comparisons;

    static unsigned Map(unsigned code) {
        ++mapCalls;
        const auto found = scans.find(code);
        return found == scans.end() ? 0 : found->second;
    }

    static int Name(long lParam, char* buffer, int size) {
        nameParams.push_back(lParam);
        nameSizes.push_back(size);
        const auto found = namesByParam.find(static_cast<unsigned long>(lParam));
        if (found == namesByParam.end())
            return 0;
        const int length = std::min(static_cast<int>(found->second.size()), size - 1);
        std::memcpy(buffer, found->second.data(), length);
        buffer[length] = 0;
        return length;
    }

    static bool Same(const char* a, int aLength, const char* b, int bLength) {
        comparisons.emplace_back(std::string(a, aLength), std::string(b, bLength));
        if (caseSensitive)
            return comparisons.back().first == comparisons.back().second;
        return DefaultKeyboardPlatform().SameTextIgnoreCase(a, aLength, b, bLength);
    }

    static void Define(unsigned code, unsigned scan, const std::string& name) {
        scans[code] = scan;
        namesByParam[static_cast<unsigned long>(scan) << 16] = name;
    }

    void SetUp() override {
        static const TKeyboardPlatform platform = {Map, Name, Same};
        scans.clear();
        namesByParam.clear();
        caseSensitive = false;
        mapCalls = 0;
        nameParams.clear();
        nameSizes.clear();
        comparisons.clear();
        SetKeyboardPlatform(&platform);
    }

    void TearDown() override { SetKeyboardPlatform(nullptr); }
};

TEST_F(FakeKeyboard, InstalledServicesReplaceTheDefaultUntilRemoved) {
    EXPECT_NE(&KeyboardPlatform(), &DefaultKeyboardPlatform());
    EXPECT_EQ(KeyboardPlatform().VirtualKeyToScanCode, &Map);
    SetKeyboardPlatform(nullptr);
    EXPECT_EQ(&KeyboardPlatform(), &DefaultKeyboardPlatform());
}

TEST_F(FakeKeyboard, PlatformKeyNameKeepsOnlyOneByteNames) {
    struct Case {
        std::uint8_t code;
        std::string name;
        std::string expected;
    };
    const Case cases[] = {
        {0xBA, ";", ";"},
        {0x41, "q", "q"},
        {0xDD, "\xB1", "\xB1"},  // a half-width katakana is one byte
        {0x14, "Caps Lock", ""},
        {0xDE, "\x83\x41", ""},  // a double-byte katakana
        {0xDF, "\x83", ""},      // a lead byte without its trail byte
        {0xDB, "", ""},
    };
    unsigned scan = 0x20;
    for (const Case& c : cases)
        Define(c.code, ++scan, c.name);
    for (const Case& c : cases)
        EXPECT_EQ(PlatformKeyName(c.code), c.expected) << std::hex << unsigned{c.code};
}

TEST_F(FakeKeyboard, PlatformKeyNameAsksWithTheScanCodeShiftedIn32Bits) {
    Define(0x41, 0x1E, "A");
    scans[0x42] = 0x10000;  // shifts out of 32 bits
    scans[0x43] = 0x8000;   // lands in the sign bit of the 32-bit argument
    EXPECT_EQ(PlatformKeyName(0x41), "A");
    EXPECT_EQ(PlatformKeyName(0x42), "");
    EXPECT_EQ(PlatformKeyName(0x44), "");
    EXPECT_EQ(nameParams, std::vector<long>{0x1E0000});
    EXPECT_EQ(nameSizes, std::vector<int>{256});
    EXPECT_EQ(PlatformKeyName(0x43), "");
    EXPECT_EQ(nameParams.back(), long{INT32_MIN});
}

TEST_F(FakeKeyboard, KeyNamesAreLookedUpAfreshOnEveryReadAndNeverForWriting) {
    Define(0xBA, 0x27, ";");
    EXPECT_EQ(ParseShortCut("Ctrl+;"), 0x40BA);

    mapCalls = 0;
    for (unsigned k = 0; k <= 0xFF; ++k)
        FormatShortCut(static_cast<TShortCut>(k));
    EXPECT_EQ(mapCalls, 0);

    Define(0xBA, 0x27, "#");
    EXPECT_EQ(ParseShortCut("Ctrl+;"), 0);
    EXPECT_EQ(ParseShortCut("Ctrl+#"), 0x40BA);
}

TEST_F(FakeKeyboard, EveryKeyWithEveryModifierReadsBackOnAUsAndAJapaneseLayoutWhicheverWroteIt) {
    for (const auto& [code, scan, name] : kJapaneseKeys)
        Define(code, scan, name);
    const TKeyboardPlatform* layouts[] = {&DefaultKeyboardPlatform(), &KeyboardPlatform()};
    for (unsigned v = 0; v <= 0xFFFF; v += (v & 0xFF) == 0xFF ? 0x1F01 : 1) {  // each key, each modifier set
        SetKeyboardPlatform(layouts[0]);
        const std::string text = FormatShortCut(static_cast<TShortCut>(v));
        for (const TKeyboardPlatform* layout : layouts) {
            SetKeyboardPlatform(layout);
            ASSERT_EQ(FormatShortCut(static_cast<TShortCut>(v)), text) << std::hex << v;
            ASSERT_EQ(ParseShortCut(text), (v & 0xFF) == 0 ? 0 : v) << '"' << text << '"';
        }
        comparisons.clear();
    }
}

TEST_F(FakeKeyboard, ParseComparesThroughThePlatform) {
    caseSensitive = true;
    const ParseCase cases[] = {
        {"Ctrl+A", 0x4041}, {"^A", 0x4041}, {"Shift+Ctrl+Alt+F24", 0xE087},
        {"ctrl+a", 0},      {"Ctrl+a", 0},  {"CTRL+A", 0}, {"f12", 0},
    };
    for (const ParseCase& c : cases)
        EXPECT_EQ(ParseShortCut(c.text), c.value) << '"' << c.text << '"';
}

TEST_F(FakeKeyboard, PrefixesAreComparedOverTheirLengthAndTheKeyOverTheWholeRest) {
    ASSERT_EQ(ParseShortCut("Alt+X"), 0x8058);
    using Pair = std::pair<std::string, std::string>;
    // "Shift+" is longer than the text and "Ctrl+" than the rest: never compared.
    const std::vector<Pair> prefixes = {{"A", "^"}, {"Alt+X", "Ctrl+"}, {"Alt+", "Alt+"}, {"X", "^"}};
    ASSERT_EQ(comparisons.size(), prefixes.size() + 0x58 - 8 + 1);
    EXPECT_EQ(std::vector<Pair>(comparisons.begin(), comparisons.begin() + prefixes.size()), prefixes);
    for (std::size_t i = prefixes.size(); i < comparisons.size(); ++i)
        EXPECT_EQ(comparisons[i].first, "X") << i;
}

}  // namespace
