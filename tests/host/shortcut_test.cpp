#include "portable/shortcut.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
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

std::string UpperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

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

    for (unsigned v = 0; v <= 0xFFFF; ++v) {
        const auto value = static_cast<TShortCut>(v);
        ASSERT_EQ(HotKeyWordToShortCut(ShortCutToHotKeyWord(value)), v & 0xE0FF) << std::hex << v;
        ASSERT_EQ(ShortCutToHotKeyWord(HotKeyWordToShortCut(value)), v & 0x07FF) << std::hex << v;
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
        {0x0060, "0"},        {0x4065, "Ctrl+5"},  {0x0069, "9"},               {0x0079, "F10"},
        {0x0141, "A"},        {0x1F41, "A"},       {0x60BA, "Shift+Ctrl+;"},    {0x00DC, "\\"},
        // Keys whose platform name is a word, or that have no scan code, have no text at all.
        {0x4000, ""},         {0xE014, ""},        {0x406A, ""},                {0x206C, ""},
        {0x0010, ""},         {0x0001, ""},        {0x0088, ""},                {0xE0FF, ""},
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
        {"=", 0x00BB},             {"`", 0x00C0},             {"Shift+'", 0x20DE},
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
    };
    for (const std::string& text : texts)
        EXPECT_EQ(ParseShortCut(text), 0) << '"' << text << '"';
}

TEST(ShortCutText, NamesSharedByTwoCodesReadAsTheLowerCode) {
    for (unsigned digit = 0; digit <= 9; ++digit) {
        const std::string text = FormatShortCut(static_cast<TShortCut>(0x4060 + digit));
        EXPECT_EQ(text, "Ctrl+" + std::to_string(digit));
        EXPECT_EQ(ParseShortCut(text), 0x4030 + digit) << text;
    }
    // The US layout names the keypad's divide key "/" too, and it has the lower code.
    EXPECT_EQ(FormatShortCut(0x40BF), "Ctrl+/");
    EXPECT_EQ(ParseShortCut("Ctrl+/"), 0x406F);
}

TEST(ShortCutText, FormatThenParseGivesBackExactlyTheValuesTheTextCanHold) {
    std::map<std::string, unsigned> lowestCodeOfName;
    for (unsigned k = 8; k <= 0xFF; ++k) {
        const std::string name = FormatShortCut(static_cast<TShortCut>(k));
        if (!name.empty())
            lowestCodeOfName.emplace(UpperAscii(name), k);
    }
    // Parsing is stateless, so each distinct text is parsed once.
    std::map<std::string, TShortCut> parsed;
    int keptExactly = 0;
    for (unsigned v = 0; v <= 0xFFFF; ++v) {
        const std::string text = FormatShortCut(static_cast<TShortCut>(v));
        const auto known = parsed.find(text);
        const TShortCut back = known != parsed.end() ? known->second : parsed[text] = ParseShortCut(text);
        const std::string name = FormatShortCut(static_cast<TShortCut>(v & 0xFF));
        if (name.empty()) {
            ASSERT_EQ(text, "") << std::hex << v;
            ASSERT_EQ(back, 0) << std::hex << v;
            continue;
        }
        ASSERT_FALSE(text.empty()) << std::hex << v;
        const auto lowest = lowestCodeOfName.find(UpperAscii(name));
        const unsigned key = lowest == lowestCodeOfName.end() ? 0 : lowest->second;
        ASSERT_EQ(back, key == 0 ? 0 : (v & 0xE000) | key) << std::hex << v << " \"" << text << '"';
        const bool kept = (v & 0x1F00) == 0 && (v & 0xFF) >= 8 && key == (v & 0xFF);
        ASSERT_EQ(back == v, kept) << std::hex << v;
        keptExactly += kept;
    }
    // Every modifier combination of each distinct name (85 fixed, 13 from the layout, 12 shared).
    EXPECT_EQ(keptExactly, 8 * 86);
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

TEST_F(FakeKeyboard, KeyNamesAreLookedUpAfreshOnEveryCall) {
    Define(0xBA, 0x27, ";");
    EXPECT_EQ(FormatShortCut(0x40BA), "Ctrl+;");
    EXPECT_EQ(ParseShortCut("Ctrl+;"), 0x40BA);

    mapCalls = 0;
    FormatShortCut(0x00BA);
    FormatShortCut(0x00BA);
    EXPECT_EQ(mapCalls, 2);
    FormatShortCut(0x0041);
    EXPECT_EQ(mapCalls, 2) << "fixed names do not ask the platform";

    Define(0xBA, 0x27, "#");
    EXPECT_EQ(FormatShortCut(0x40BA), "Ctrl+#");
    EXPECT_EQ(ParseShortCut("Ctrl+;"), 0);
    EXPECT_EQ(ParseShortCut("Ctrl+#"), 0x40BA);
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
    for (unsigned k = 8; k <= 0x58; ++k)
        EXPECT_EQ(comparisons[prefixes.size() + k - 8], Pair("X", FormatShortCut(static_cast<TShortCut>(k))))
            << std::hex << k;
}

}  // namespace
