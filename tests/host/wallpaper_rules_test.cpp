#include "portable/wallpaper_rules.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "portable/failure_notice.h"

namespace {

// Code page 932 bytes, spelled out: the host compiler keeps literals in UTF-8.
// "表" and "ソ" end in the byte of "\", "ア" in the byte of "A", "＝" is a
// pair of lead-range bytes.
const std::string kHyo = "\x95\x5C";
const std::string kSo = "\x83\x5C";
const std::string kA = "\x83\x41";
const std::string kEquals = "\x81\x81";

TEST(WallpaperRules, ListsNamesWhoseExtensionLowerCasedIsOneOfTheFour) {
    const std::pair<std::u16string, bool> cases[] = {
        {u"A.JPG", true},   {u"b.Bmp", true},      {u"c.txt", false},     {u"d.htm", true},
        {u"x.html", true},  {u"y.HTML", true},     {u"noext", false},     {u".jpg", true},
        {u"e.jpeg", false}, {u"f.jpg.txt", false}, {u"g.txt.bmp", true},  {u"h.jp", false},
        {u"i.", false},     {u"", false},          {u"アア.JPG", true},   {u"表.htm", true},
        {u"x.ＪＰＧ", false}, {u"x.jpア", false},    {u"xア", false},       {u"x.j\u0130g", false},
    };
    for (const auto& [name, usable] : cases)
        EXPECT_EQ(IsWallpaperFile(name), usable) << std::string(name.begin(), name.end());
}

TEST(WallpaperRules, ListFolderAndMenuPathAddOneSeparatorUnlessTheLastCharacterIsOne) {
    struct Case {
        std::string folder;
        std::string listed;
        std::string menuPath;
    };
    const Case cases[] = {
        {"C:\\pics", "C:\\pics\\", "C:\\pics\\x.jpg"},
        {"C:\\pics\\", "C:\\pics\\", "C:\\pics\\x.jpg"},
        {"C:\\", "C:\\", "C:\\x.jpg"},
        {"", "\\", "\\x.jpg"},
        // The last character is "表", whose second byte only looks like "\".
        {"C:\\" + kHyo, "C:\\" + kHyo + "\\", "C:\\" + kHyo + "\\x.jpg"},
        {"C:\\" + kA + kSo, "C:\\" + kA + kSo + "\\", "C:\\" + kA + kSo + "\\x.jpg"},
        {"C:\\" + kHyo + "\\", "C:\\" + kHyo + "\\", "C:\\" + kHyo + "\\x.jpg"},
        // "＝" then "\": a backward look at the byte before "\" would take
        // 0x81 for a lead byte and the separator for its trail byte.
        {"C:\\" + kEquals + "\\", "C:\\" + kEquals + "\\", "C:\\" + kEquals + "\\x.jpg"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WallpaperListFolder(c.folder), c.listed) << '"' << c.folder << '"';
        EXPECT_EQ(WallpaperMenuPath(c.folder, "x.jpg"), c.menuPath) << '"' << c.folder << '"';
    }
    EXPECT_EQ(WallpaperMenuPath("C:\\pics", kHyo + kSo + ".bmp"), "C:\\pics\\" + kHyo + kSo + ".bmp");
}

TEST(WallpaperRules, RotationPathAlwaysInsertsTheSeparator) {
    EXPECT_EQ(WallpaperRotationPath("C:\\pics", "x.jpg"), "C:\\pics\\x.jpg");
    EXPECT_EQ(WallpaperRotationPath("C:\\pics\\", "x.jpg"), "C:\\pics\\\\x.jpg");
    EXPECT_EQ(WallpaperRotationPath("C:\\" + kHyo, "x.jpg"), "C:\\" + kHyo + "\\x.jpg");
    EXPECT_EQ(WallpaperRotationPath("", "x.jpg"), "\\x.jpg");
}

std::vector<int> Advances(int index, int count, int times) {
    std::vector<int> positions;
    for (int i = 0; i < times; ++i)
        positions.push_back(index = NextWallpaperIndex(index, count));
    return positions;
}

TEST(WallpaperRules, RotationAdvancesBeforeUseAndWraps) {
    EXPECT_EQ(Advances(0, 3, 7), (std::vector<int>{1, 2, 0, 1, 2, 0, 1}));
    EXPECT_EQ(Advances(0, 1, 3), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(Advances(0, 2, 4), (std::vector<int>{1, 0, 1, 0}));
    // A rebuild left fewer files than the position: start again at 0.
    EXPECT_EQ(NextWallpaperIndex(4, 3), 0);
    EXPECT_EQ(NextWallpaperIndex(2, 2), 0);
    EXPECT_EQ(NextWallpaperIndex(1, 2), 0);
}

std::vector<int> ChangeMinutes(int interval, int minutes) {
    std::vector<int> changes;
    int count = 0;
    for (int minute = 1; minute <= minutes; ++minute)
        if (CountWallpaperMinute(count, interval))
            changes.push_back(minute);
    return changes;
}

TEST(WallpaperRules, TimerChangesEveryIntervalMinutesAndNeverAtZero) {
    EXPECT_EQ(ChangeMinutes(3, 10), (std::vector<int>{3, 6, 9}));
    EXPECT_EQ(ChangeMinutes(1, 4), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_TRUE(ChangeMinutes(0, 1000).empty());
    EXPECT_TRUE(ChangeMinutes(-1, 1000).empty());

    int count = 0;
    EXPECT_FALSE(CountWallpaperMinute(count, 3));
    EXPECT_EQ(count, 1);
    EXPECT_FALSE(CountWallpaperMinute(count, 3));
    EXPECT_TRUE(CountWallpaperMinute(count, 3));
    EXPECT_EQ(count, 0) << "the count restarts at a change";

    // The interval lowered below a count already reached.
    count = 7;
    EXPECT_TRUE(CountWallpaperMinute(count, 5));
    EXPECT_EQ(count, 0);
    count = 7;
    EXPECT_FALSE(CountWallpaperMinute(count, 0)) << "0 still never changes";
}

TEST(WallpaperRules, TimerFailuresAreToldOnceAndNotWhileTheUserIsBusy) {
    struct Step {
        const char* event;  // "timer", "hand", "tick", "reset"
        const char* text;
        bool busy;
        const char* told;  // what is told now, "" for nothing
    };
    const Step steps[] = {
        {"timer", "gone", false, "gone"},   {"timer", "gone", false, ""},     {"tick", "", false, ""},
        {"timer", "locked", false, "locked"}, {"timer", "gone", false, "gone"}, {"hand", "gone", false, "gone"},
        {"timer", "gone", false, ""},       {"reset", "", false, ""},         {"timer", "gone", true, ""},
        {"tick", "", true, ""},             {"tick", "", false, "gone"},      {"tick", "", false, ""},
        {"timer", "gone", false, ""},       {"timer", "locked", true, ""},    {"hand", "refused", true, "refused"},
        {"tick", "", false, "locked"},      {"reset", "", false, ""},         {"timer", "x", true, ""},
        {"timer", "x", false, "x"},         {"tick", "", false, ""},
    };
    TFailureNotice notice;
    int number = 0;
    for (const Step& step : steps) {
        const std::string event = step.event;
        std::string told;
        if (event == "tick")
            told = notice.Tick(step.busy);
        else if (event == "reset")
            notice.Reset();
        else if (notice.Failed(step.text, event == "timer", step.busy))
            told = step.text;
        EXPECT_EQ(told, step.told) << "step " << number;
        ++number;
    }
}

}  // namespace
