#include "portable/wallpaper_rules.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include <algorithm>

#include "portable/failure_notice.h"
#include "portable/shuffle.h"

namespace {

// Code page 932 bytes, spelled out: the host compiler keeps literals in UTF-8.
// "表" and "ソ" end in the byte of "\", "ア" in the byte of "A", "＝" is a
// pair of lead-range bytes.
const std::string kHyo = "\x95\x5C";
const std::string kSo = "\x83\x5C";
const std::string kA = "\x83\x41";
const std::string kEquals = "\x81\x81";

TEST(WallpaperRules, ListsNamesWhoseExtensionLowerCasedIsAPictureOrAPage) {
    const std::pair<std::u16string, bool> cases[] = {
        {u"A.JPG", true},   {u"b.Bmp", true},      {u"c.txt", false},     {u"d.htm", true},
        {u"x.html", true},  {u"y.HTML", true},     {u"noext", false},     {u".jpg", true},
        {u"e.jpeg", true}, {u"f.jpg.txt", false}, {u"g.txt.bmp", true},  {u"h.jp", false},
        {u"i.", false},     {u"", false},          {u"アア.JPG", true},   {u"表.htm", true},
        {u"x.ＪＰＧ", false}, {u"x.jpア", false},    {u"xア", false},       {u"x.j\u0130g", false},
        {u"a.JPEG", true},  {u"a.jpe", true},      {u"a.Jfif", true},     {u"a.png", true},
        {u"a.DIB", true},   {u"a.gif", true},      {u"a.tif", true},      {u"a.TIFF", true},
        {u"a.webp", false}, {u"a.pngx", false},    {u"a.tiff.txt", false}, {u"png", false},
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

TEST(WallpaperRules, StylesAreTheShellsCodesAndAnyOtherTextLeavesTheSystemsChoice) {
    const std::pair<const char*, int> cases[] = {{"Center", 0}, {"Tile", 1}, {"Stretch", 2}, {"Fit", 3}, {"Fill", 4},
                                                 {"Span", 5},   {"", -1},    {"Fill ", -1},  {"fill", -1}, {"Diagonal", -1}};
    for (const auto& [style, code] : cases)
        EXPECT_EQ(WallpaperStyleCode(style), code) << style;
}

TEST(WallpaperRules, ShuffleSetsEachOnceARoundAndARebuildKeepsTheRestOfTheRound) {
    for (std::uint32_t seed = 1; seed < 200; ++seed) {
        TShuffle shuffle(seed);
        int progress = 0;
        shuffle.Update({"a", "b", "c", "d"}, progress);
        std::vector<std::string> set;
        for (int i = 0; i < 12; ++i)
            set.push_back(shuffle.Next(progress));
        for (int round = 0; round < 3; ++round) {
            std::vector<std::string> once(set.begin() + round * 4, set.begin() + round * 4 + 4);
            std::sort(once.begin(), once.end());
            ASSERT_EQ(once, (std::vector<std::string>{"a", "b", "c", "d"})) << "seed " << seed << " round " << round;
        }
        EXPECT_NE(set[3], set[4]) << "seed " << seed;
        EXPECT_NE(set[7], set[8]) << "seed " << seed;
        // Mid-round: "b" and what was set stay set; "e" comes, "d" goes.
        TShuffle rebuilt(seed);
        progress = 0;
        rebuilt.Update({"a", "b", "c", "d"}, progress);
        std::vector<std::string> first = {rebuilt.Next(progress), rebuilt.Next(progress)};
        rebuilt.Update({"a", "b", "c", "e"}, progress);
        EXPECT_EQ(progress, static_cast<int>(std::count(first.begin(), first.end(), "d") ? 1 : 2));
        std::vector<std::string> round = first;
        while (progress < 4)
            round.push_back(rebuilt.Next(progress));
        round.erase(std::remove(round.begin(), round.end(), "d"), round.end());
        std::sort(round.begin(), round.end());
        EXPECT_EQ(round, (std::vector<std::string>{"a", "b", "c", "e"})) << "seed " << seed;
    }
    TShuffle one(7);
    int progress = 0;
    one.Update({"only"}, progress);
    EXPECT_EQ(one.Next(progress) + one.Next(progress), "onlyonly");
    TShuffle none(7);
    EXPECT_EQ(none.Next(progress), "");
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
