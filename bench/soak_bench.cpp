// A month of use in minutes: the real Yorunel.exe (a build whose wallpaper
// minute is short) driven through rounds of what a user and the system do,
// sampled after each round. Prints a table of the samples and the growth
// from the first sample after the warm-up round to the last.
//
//   bench_soak.exe [rounds] [files]    100 rounds over a folder of 1,000 files by default
//
// Run by scripts/soak.sh; the test command runs the short form (e2e_soak_test).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tests/e2e/soak_driver.h"

using namespace e2e;

namespace {

// A hundredth of the month: 100 rounds make the whole of it.
SoakRound MonthRound() {
    SoakRound round;
    round.wallpaperPresses = 200;
    round.redrawPresses = 20;
    round.panicPresses = 20;
    round.pauseCycles = 20;
    round.trayMenus = 5;
    round.settingsDialogs = 3;
    round.windowPickers = 2;
    round.folderPickers = 1;
    round.taskbarCreated = 10;
    round.wallpaperFailures = 2;
    return round;
}

struct Row {
    int round;
    long long operations;
    double seconds;
    ProcessCounts counts;
    double trayMs;
};

double Seconds(const LARGE_INTEGER& from) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void PrintRow(const Row& row) {
    const ProcessCounts& c = row.counts;
    std::printf("| %5d | %7lld | %7.1f | %7ld | %5ld | %5ld | %5ld | %5ld | %9ld | %9ld | %7.1f |\n", row.round,
                row.operations, row.seconds, c.handles, c.gdiObjects, c.userObjects, c.topWindows, c.childWindows,
                c.privateKiB, c.residentKiB, row.trayMs);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    const int files = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000;
    const SoakRound round = MonthRound();
    Soak soak(files);
    if (!soak.Start()) {
        std::fprintf(stderr, "%s\n", soak.Error().c_str());
        return 1;
    }
    std::printf("soak: a warm-up round and %d rounds of %d operations over a folder of %d files\n", rounds,
                round.Operations(), files);
    std::printf("each round: %d wallpaper presses, %d redraw, %d panic, %d pause and resume cycles, %d tray menus\n"
                "(every other one picks a wallpaper), %d settings dialogs (every page; %d window pickers, %d folder\n"
                "pickers), %d TaskbarCreated, %d wallpaper object failures; the timer's minute runs short\n",
                round.wallpaperPresses, round.redrawPresses, round.panicPresses, round.pauseCycles, round.trayMenus,
                round.settingsDialogs, round.windowPickers, round.folderPickers, round.taskbarCreated,
                round.wallpaperFailures);
    std::printf("\n| round | ops     | seconds | handles | GDI   | USER  | top   | child | private K | resident K | tray ms |\n"
                "|-------|---------|---------|---------|-------|-------|-------|-------|-----------|------------|---------|\n");
    LARGE_INTEGER started;
    QueryPerformanceCounter(&started);
    std::vector<Row> rows;
    long long operations = 0;
    for (int i = 0; i <= rounds; ++i) {
        if (!soak.RunRound(round)) {
            std::fprintf(stderr, "round %d: %s\n", i, soak.Error().c_str());
            return 1;
        }
        operations += round.Operations();
        const double trayMs = soak.TrayClickAnswerMs();
        LARGE_INTEGER sampling;
        QueryPerformanceCounter(&sampling);
        const ProcessCounts counts = soak.Sample();
        const double sampleSeconds = Seconds(sampling);
        rows.push_back({i, operations, Seconds(started), counts, trayMs});
        PrintRow(rows.back());
        if (i == 1 || i % 20 == 0 || i == rounds) {
            std::fprintf(stderr, "round %d, seconds:", i);
            for (const auto& [kind, seconds] : soak.RoundSeconds())
                std::fprintf(stderr, " %s %.2f", kind, seconds);
            std::fprintf(stderr, ", sample %.2f\n", sampleSeconds);
        }
    }
    const Row& first = rows[1 < rows.size() ? 1 : 0];
    const Row& last = rows.back();
    const ProcessCounts& a = first.counts;
    const ProcessCounts& b = last.counts;
    double slowest = 0;
    for (const Row& row : rows)
        slowest = row.trayMs < 0 ? 1e9 : std::max(slowest, row.trayMs);
    const double memoryGrowth = a.privateKiB > 0 ? 100.0 * static_cast<double>(b.privateKiB - a.privateKiB) / a.privateKiB : 0;
    std::printf("\ngrowth from round %d (after warm-up) to round %d, %lld operations in %.0f s:\n", first.round,
                last.round, last.operations - first.operations, last.seconds - first.seconds);
    std::printf("handles %+ld, GDI %+ld, USER %+ld, top-level windows %+ld, child windows %+ld,\n"
                "private %+ld KiB (%+.2f%%), Linux resident anonymous %+ld KiB\n",
                b.handles - a.handles, b.gdiObjects - a.gdiObjects, b.userObjects - a.userObjects,
                b.topWindows - a.topWindows, b.childWindows - a.childWindows, b.privateKiB - a.privateKiB,
                memoryGrowth, b.residentKiB - a.residentKiB);
    std::printf("failure boxes answered %d, boxes nobody asked for %d, redraw presses made again %d;\n"
                "slowest tray click %.1f ms\n",
                soak.BoxesAnswered(), soak.UnexpectedBoxes(), soak.PressesRepeated(), slowest);
    std::printf("wallpaper objects released before the last round: %lld, of them about %lld by presses and picks,\n"
                "the rest by the timer\n",
                soak.ObjectsUsed(),
                static_cast<long long>(rounds) * (round.wallpaperPresses + round.trayMenus / 2 + round.wallpaperFailures));
    const bool grown = b.handles > a.handles || b.gdiObjects > a.gdiObjects || b.userObjects > a.userObjects ||
                       b.topWindows > a.topWindows || b.childWindows > a.childWindows;
    const bool met = !grown && memoryGrowth <= 1.0 && slowest < 1000;
    std::printf("goal (no growth in counts, private memory within 1%%, every tray click within 1 s): %s\n",
                met ? "met" : "MISSED");
    soak.Close();
    return 0;
}
