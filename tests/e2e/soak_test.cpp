// The soak benchmark's short form: a few hundred of its operations, after
// which the program holds exactly what it held before them. Counts only:
// memory and times are the benchmark's (scripts/soak.sh).
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/e2e/soak_driver.h"

using namespace e2e;

namespace {

// Every kind at least twice over the two measured rounds, so that a leak of
// one handle, object or window per operation of any kind shows as growth.
SoakRound ShortRound() {
    SoakRound round;
    round.wallpaperPresses = 60;
    round.redrawPresses = 10;
    round.panicPresses = 5;
    round.pauseCycles = 5;
    round.trayMenus = 4;
    round.settingsDialogs = 3;
    round.windowPickers = 1;
    round.folderPickers = 1;
    round.taskbarCreated = 5;
    round.wallpaperFailures = 2;
    round.timerTicks = 5;
    return round;
}

}  // namespace

TEST(Soak, CountsComeBackToTheirFirstSampleAfterEveryKindOfOperation) {
    Soak soak(100);
    ASSERT_TRUE(soak.Start()) << soak.Error();
    const SoakRound round = ShortRound();
    // The first round fills what the program and the system keep once made.
    ASSERT_TRUE(soak.RunRound(round)) << soak.Error();
    const ProcessCounts first = soak.Sample();
    ASSERT_GT(first.handles, 0);
    ASSERT_GT(first.gdiObjects, 0);
    ASSERT_GT(first.topWindows, 0);
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(soak.RunRound(round)) << soak.Error();
    const ProcessCounts last = soak.Sample();
    std::printf("first: %s\nlast:  %s\n", first.Describe().c_str(), last.Describe().c_str());
    EXPECT_TRUE(last.SameCounts(first)) << "after " << 2 * round.Operations() << " operations\nfirst: "
                                        << first.Describe() << "\nlast:  " << last.Describe();
    EXPECT_EQ(soak.BoxesAnswered(), 3 * round.wallpaperFailures);
    EXPECT_EQ(soak.UnexpectedBoxes(), 0);
    EXPECT_TRUE(soak.Close());
}
