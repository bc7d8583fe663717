// A month of use in minutes: the real Yorunel.exe (a build whose wallpaper
// minute is short) driven through rounds of what a user and the system do,
// sampled after each round. Prints a table of the samples and each step's
// time, then the trend: each step and count over the first fifth of the
// rounds after the warm-up against the last fifth. Exits with 3 when one grew.
//
//   bench_soak.exe [rounds] [files]    100 rounds over a folder of 1,000 files by default
//
// Run by scripts/soak.sh; the test command runs the short form (e2e_soak_test).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "bench/bench_figures.h"
#include "tests/e2e/soak_driver.h"

using namespace e2e;
using bench::Median;

namespace {

// A new task bar (Explorer restarted, by an update or a crash) a few times a
// month: in the warm-up round and every 25th round after it. More would only
// measure Wine's tray, whose new window for each icon given again leaves a
// DC behind in a program that then redraws every window (bench_tray_redraw).
constexpr int kRoundsPerTaskbar = 25;

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
    round.wallpaperFailures = 2;
    return round;
}

struct Row {
    int round;
    long long operations;
    double seconds;
    ProcessCounts counts;
    double trayMs;
    std::vector<std::pair<const char*, double>> steps;  // seconds of each kind of operation
};

double Seconds(const LARGE_INTEGER& from) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void PrintHead(const Row& row) {
    std::printf("\n| round | ops     | seconds | handles | GDI   | USER  | top   | child | private K | resident K | tray ms |");
    for (const auto& step : row.steps)
        std::printf(" %8.8s |", step.first);
    std::printf("\n|-------|---------|---------|---------|-------|-------|-------|-------|-----------|------------|---------|");
    for (std::size_t i = 0; i < row.steps.size(); ++i)
        std::printf("----------|");
    std::printf("\n");
}

void PrintRow(const Row& row) {
    const ProcessCounts& c = row.counts;
    std::printf("| %5d | %7lld | %7.1f | %7ld | %5ld | %5ld | %5ld | %5ld | %9ld | %10ld | %7.1f |", row.round,
                row.operations, row.seconds, c.handles, c.gdiObjects, c.userObjects, c.topWindows, c.childWindows,
                c.privateKiB, c.residentKiB, row.trayMs);
    for (const auto& step : row.steps)
        std::printf(" %8.2f |", step.second);
    std::printf("\n");
    std::fflush(stdout);
}

// One line of the trend: a figure's median over the first fifth of the
// measured rounds against the last fifth, and whether it grew beyond its margin.
struct Trend {
    std::string what;
    double first = 0;
    double last = 0;
    double margin = 0;  // the growth allowed
    bool grew() const { return last > first + margin; }
};

Trend TrendOf(const std::string& what, const std::vector<Row>& rows, std::size_t fifth,
              const std::function<double(const Row&)>& figure, const std::function<double(double, double)>& margin) {
    std::vector<double> first, last;
    for (std::size_t i = 1; i <= fifth; ++i)
        first.push_back(figure(rows[i]));
    for (std::size_t i = rows.size() - fifth; i < rows.size(); ++i)
        last.push_back(figure(rows[i]));
    const auto [low, high] = std::minmax_element(first.begin(), first.end());
    Trend trend{what, Median(first), Median(last)};
    trend.margin = margin(trend.first, *high - *low);
    return trend;
}

// Prints the trend lines; true when every figure held.
bool PrintTrends(const std::vector<Row>& rows, int dialogsPerRound) {
    const std::size_t measured = rows.size() - 1;
    const std::size_t fifth = std::max<std::size_t>(1, measured / 5);
    // A time may grow by a quarter plus 50 ms: between the fifths of a quiet
    // run the steps moved by up to 13%, and a short step (the failures',
    // 0.06 s) by a few of a busy machine's scheduling slices. The growth that
    // ten new task bars a round caused under Wine (the dialogs' 2.1 s to 5.5 s,
    // the failures' 0.06 s to 0.22 s) lies far beyond both.
    const auto timeMargin = [](double first, double) { return first / 4 + 0.05; };
    // An object count may wander by as much as it did in the first fifth (a
    // timer's file caught open in all three readings); a leak of one object
    // per operation of any kind grows it by a round's count each round.
    const auto countMargin = [](double, double spread) { return spread; };
    // Memory may grow by a heap block (Wine commits 64 KiB at a time) and by
    // what Wine keeps of each settings dialog between the fifths, about
    // 0.5 KiB (24 bytes for each labelled "STATIC" window and more of its
    // own), with half as much again for room; or by its spread, if larger.
    const double dialogKiB = 0.75 * dialogsPerRound * static_cast<double>(measured - fifth);
    const auto memoryMargin = [dialogKiB](double, double spread) { return std::max(spread, 64 + dialogKiB); };
    std::vector<Trend> trends;
    for (std::size_t step = 0; step < rows.back().steps.size(); ++step)
        trends.push_back(TrendOf(std::string(rows.back().steps[step].first) + " s", rows, fifth,
                                 [step](const Row& row) { return row.steps[step].second; }, timeMargin));
    trends.push_back(TrendOf("tray click s", rows, fifth, [](const Row& row) { return row.trayMs / 1000; }, timeMargin));
    const std::pair<const char*, long ProcessCounts::*> counts[] = {
        {"handles", &ProcessCounts::handles},         {"GDI objects", &ProcessCounts::gdiObjects},
        {"USER objects", &ProcessCounts::userObjects}, {"top-level windows", &ProcessCounts::topWindows},
        {"child windows", &ProcessCounts::childWindows}};
    for (const auto& [what, field] : counts)
        trends.push_back(TrendOf(what, rows, fifth, [field = field](const Row& row) { return row.counts.*field; },
                                 countMargin));
    trends.push_back(TrendOf("private KiB", rows, fifth, [](const Row& row) { return row.counts.privateKiB; },
                             memoryMargin));
    trends.push_back(TrendOf("resident KiB", rows, fifth, [](const Row& row) { return row.counts.residentKiB; },
                             memoryMargin));
    std::printf("\ntrend: medians of rounds 1-%zu (the first fifth after the warm-up) and %zu-%zu (the last fifth)\n",
                fifth, measured - fifth + 1, measured);
    std::printf("| %-18s | %11s | %11s | %6s | %11s | %-5s |\n", "figure", "first fifth", "last fifth", "ratio",
                "may grow by", "");
    std::printf("|--------------------|-------------|-------------|--------|-------------|-------|\n");
    bool held = true;
    for (const Trend& trend : trends) {
        std::printf("| %-18s | %11.2f | %11.2f | %6.2f | %11.2f | %-5s |\n", trend.what.c_str(), trend.first,
                    trend.last, trend.first > 0 ? trend.last / trend.first : 1.0, trend.margin,
                    trend.grew() ? "GREW" : "flat");
        held = held && !trend.grew();
    }
    std::printf("a time grows beyond a quarter plus 50 ms, a count beyond its spread in the first fifth, memory\n"
                "beyond 64 KiB and 0.75 KiB a settings dialog (%.0f KiB) or that spread: %s\n",
                64 + dialogKiB, held ? "everything held" : "GROWTH");
    return held;
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
                "pickers), %d wallpaper object failures; the timer's minute runs short; in the warm-up and every\n"
                "%dth round one TaskbarCreated more\n",
                round.wallpaperPresses, round.redrawPresses, round.panicPresses, round.pauseCycles, round.trayMenus,
                round.settingsDialogs, round.windowPickers, round.folderPickers, round.wallpaperFailures,
                kRoundsPerTaskbar);
    LARGE_INTEGER started;
    QueryPerformanceCounter(&started);
    std::vector<Row> rows;
    long long operations = 0;
    for (int i = 0; i <= rounds; ++i) {
        SoakRound thisRound = round;
        thisRound.taskbarCreated = i % kRoundsPerTaskbar == 0 ? 1 : 0;
        if (!soak.RunRound(thisRound)) {
            std::fprintf(stderr, "round %d: %s\n", i, soak.Error().c_str());
            return 1;
        }
        operations += thisRound.Operations();
        const double trayMs = soak.TrayClickAnswerMs();
        const ProcessCounts counts = soak.Sample();
        rows.push_back({i, operations, Seconds(started), counts, trayMs, soak.RoundSeconds()});
        if (i == 0)
            PrintHead(rows.back());
        PrintRow(rows.back());
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
    std::printf("every tray click within 1 s: %s\n", slowest < 1000 ? "met" : "MISSED");
    const bool held = PrintTrends(rows, round.settingsDialogs);
    soak.Close();
    return held && slowest < 1000 ? 0 : 3;
}
