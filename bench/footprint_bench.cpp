// Yorunel.exe beside the least a tray program can be (tray_minimal.exe),
// measured from outside under the same Wine session:
//
//   bench_footprint.exe start [pairs]         start until the tray icon is there, and memory then
//   bench_footprint.exe idle [seconds]        CPU time of both, side by side, while nothing happens
//   bench_footprint.exe hotkey [presses]      wallpaper hotkey press until the wallpaper object has the path
//   bench_footprint.exe menu [clicks]         tray click until the menu shows, idle and while the object blocks
//
// The programs are found beside this one (tray_minimal.exe), one folder up
// (Yorunel.exe) and in the end-to-end tests' folder (wallpaper_recorder.dll).
// Each run of a program is the end-to-end tests' driver of it, a copy in a
// folder of its own, Yorunel with the tests' settings file of five hotkeys,
// a wallpaper folder of a few files and Time=10.
//
// Memory and CPU are read twice: through the Win32 calls (GetProcessMemoryInfo,
// GetProcessTimes) and from the Linux process Wine runs (its /proc files,
// seen through the Z: drive), found by its command line, which names the
// program's own folder.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_figures.h"
#include "tests/e2e/action_probes.h"
#include "tests/e2e/process_counts.h"

using namespace e2e;
using namespace testing_support;
using bench::Median;

namespace {

// Every wait that is timed polls every millisecond.
constexpr DWORD kTimedPollMs = 1;

std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

// The number after "<key>:" in a /proc status-like text, or 0.
long long Field(const std::string& text, const std::string& key) {
    const std::size_t at = text.find("\n" + key + ":");
    const std::size_t start = at == std::string::npos ? (text.rfind(key + ":", 0) == 0 ? 0 : std::string::npos)
                                                      : at + 1;
    if (start == std::string::npos)
        return 0;
    return std::atoll(text.c_str() + start + key.size() + 1);
}

struct Memory {
    double workingSetKiB = 0;  // GetProcessMemoryInfo
    double privateKiB = 0;     // GetProcessMemoryInfo, PrivateUsage
    double rssKiB = 0;         // Linux: resident
    double pssKiB = 0;         // Linux: resident, shared pages divided among their users
    double ownKiB = 0;         // Linux: resident pages no other process maps
};

// GetProcessTimes is not used: under Wine 8 it reports, for another process,
// figures that grow with the caller's own CPU time.
struct Cpu {
    double ms = 0;            // time on a CPU of every thread, /proc/<pid>/task/*/schedstat (nanoseconds)
    double tickMs = 0;        // /proc/<pid>/stat, utime + stime (100 ticks a second)
    long long switches = 0;   // context switches of every thread: its wake-ups
    int threads = 0;
};

const char* const kWallpaperFiles[] = {"morning.jpg", "noon.bmp", "evening.jpg", "night.htm", "dawn.html"};

struct ProgramKind {
    const char* label;
    std::string exe;
    const char* windowClass;
    bool yorunel;
    std::string arguments = {};
};

// One run of one program, timed and measured from outside.
class Instance {
public:
    Instance(const ProgramKind& kind, const std::string& wallpapers)
        : kind_(kind), process_(kind.exe, kind.windowClass) {
        if (kind.yorunel)
            process_.WriteIni(ActionsIni({"WallPaperPath=" + wallpapers}, 10));
    }

    const ProgramKind& Kind() const { return kind_; }

    bool Start() {
        started_ = bench::NowMs();
        return process_.Start(kind_.arguments);
    }

    // Milliseconds from CreateProcess until the tray has the icon; negative on time-out.
    double WaitTrayIcon(DWORD timeoutMs = 20000) {
        if (!WaitUntil([&] { return process_.TrayIconPresent(); }, timeoutMs, kTimedPollMs))
            return -1;
        return bench::NowMs() - started_;
    }

    // Its message loop waits for input: start-up is over.
    bool WaitSettled() { return WaitForInputIdle(process_.Handle(), 10000) == 0; }

    bool Running() const { return process_.Running(); }

    Memory ReadMemory() {
        Memory memory;
        PROCESS_MEMORY_COUNTERS_EX counters = {};
        counters.cb = sizeof(counters);
        if (GetProcessMemoryInfo(process_.Handle(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                 sizeof(counters))) {
            memory.workingSetKiB = static_cast<double>(counters.WorkingSetSize) / 1024;
            memory.privateKiB = static_cast<double>(counters.PrivateUsage) / 1024;
        }
        if (const unsigned pid = LinuxPid()) {
            const std::string rollup = ReadFileBytes("Z:\\proc\\" + std::to_string(pid) + "\\smaps_rollup");
            memory.rssKiB = static_cast<double>(Field(rollup, "Rss"));
            memory.pssKiB = static_cast<double>(Field(rollup, "Pss"));
            memory.ownKiB = static_cast<double>(Field(rollup, "Private_Clean") + Field(rollup, "Private_Dirty"));
        }
        return memory;
    }

    Cpu ReadCpu() {
        Cpu cpu;
        const unsigned pid = LinuxPid();
        if (!pid)
            return cpu;
        const std::string base = "Z:\\proc\\" + std::to_string(pid);
        // Fields after the name in parentheses, which may hold spaces: utime and stime are the 12th and 13th.
        const std::string stat = ReadFileBytes(base + "\\stat");
        const std::size_t close = stat.rfind(')');
        if (close != std::string::npos) {
            std::vector<long long> fields;
            const char* p = stat.c_str() + close + 1;
            while (*p) {
                while (*p == ' ')
                    ++p;
                char* next = nullptr;
                const long long value = std::strtoll(p, &next, 10);
                fields.push_back(next == p ? 0 : value);
                while (*next && *next != ' ')
                    ++next;
                p = next;
            }
            if (fields.size() > 12)
                cpu.tickMs = static_cast<double>(fields[11] + fields[12]) * 10.0;
        }
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((base + "\\task\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (found.cFileName[0] < '1' || found.cFileName[0] > '9')
                    continue;
                const std::string task = base + "\\task\\" + found.cFileName;
                cpu.ms += static_cast<double>(std::atoll(ReadFileBytes(task + "\\schedstat").c_str())) / 1e6;
                const std::string status = ReadFileBytes(task + "\\status");
                cpu.switches += Field(status, "voluntary_ctxt_switches") + Field(status, "nonvoluntary_ctxt_switches");
                ++cpu.threads;
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        return cpu;
    }

    // Closes it as "終了" does and waits for its end.
    bool Close() {
        if (!Running())
            return true;
        process_.Close();
        return process_.WaitForExit(15000);
    }

private:
    unsigned LinuxPid() {
        if (!linuxPid_)
            linuxPid_ = LinuxProcessOf(process_.Folder() + "\\");
        return linuxPid_;
    }

    ProgramKind kind_;
    YorunelProcess process_;
    double started_ = 0;
    unsigned linuxPid_ = 0;
};

// The wallpapers of every Yorunel run.
class WallpaperFolder : public TempFolder {
public:
    WallpaperFolder() : TempFolder("yorunel_bench_pictures") {
        for (const char* name : kWallpaperFiles)
            WriteFileBytes(File(name), "picture");
    }
};

struct Programs {
    ProgramKind yorunel;
    ProgramKind minimal;
};

// As built (the x86_64 build, with its debug information), or the copies
// without it that the build makes beside this program (stripped\): the
// program as a user runs it. Wine reads the sections of a program whose file
// alignment is below a page into private memory, debug sections included.
Programs FindPrograms(bool stripped = false) {
    const std::string own = HelperFolder();
    const std::string yorunel = stripped ? own + "stripped\\Yorunel.exe" : own + "..\\Yorunel.exe";
    const std::string minimal = stripped ? own + "stripped\\tray_minimal.exe" : own + "tray_minimal.exe";
    return {{"Yorunel", FullPath(yorunel), "TKorvanMain", true},
            {"minimal", FullPath(minimal), "YorunelTrayMinimal", false}};
}

std::string Ratio(double yorunel, double minimal) {
    if (minimal <= 0)
        return yorunel <= 0 ? "n/a (both 0)" : "n/a (min 0)";
    char text[32];
    std::snprintf(text, sizeof(text), "%.2f", yorunel / minimal);
    return text;
}

const char* Verdict(double yorunel, double minimal, double target) {
    if (minimal <= 0)
        return yorunel <= 0 ? "met" : "MISSED";
    return yorunel / minimal <= target ? "met" : "MISSED";
}

void Row(const char* what, const char* unit, double yorunel, double minimal, bool withTarget) {
    const int decimals = std::string(unit) == "ms" ? 2 : 0;
    std::printf("| %-44s | %-4s | %10.*f | %10.*f | %-12s | %-6s |\n", what, unit, decimals, yorunel, decimals, minimal,
                Ratio(yorunel, minimal).c_str(), withTarget ? Verdict(yorunel, minimal, 1.2) : "");
}

void TableHead(const char* first) {
    std::printf("| %-44s | %-4s | %10s | %10s | %-12s | %-6s |\n", first, "unit", "Yorunel", "minimal",
                "Yorunel/min", "<=1.2");
    std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(46, '-').c_str(), std::string(6, '-').c_str(),
                std::string(12, '-').c_str(), std::string(12, '-').c_str(), std::string(14, '-').c_str(),
                std::string(8, '-').c_str());
}

struct StartFigures {
    std::vector<double> startMs;
    std::vector<double> cpuMs;  // CPU time spent until settled
    std::vector<Memory> memory;
};

// One run: started, timed until its tray icon is there, settled, measured, closed.
bool MeasureStart(const ProgramKind& kind, const std::string& wallpapers, StartFigures* figures) {
    Instance instance(kind, wallpapers);
    if (!instance.Start()) {
        std::fprintf(stderr, "cannot start %s\n", kind.exe.c_str());
        return false;
    }
    const double ms = instance.WaitTrayIcon();
    if (ms < 0) {
        std::fprintf(stderr, "%s: no tray icon\n", kind.exe.c_str());
        return false;
    }
    instance.WaitSettled();
    const Cpu cpu = instance.ReadCpu();
    const Memory memory = instance.ReadMemory();
    if (figures) {
        figures->startMs.push_back(ms);
        figures->cpuMs.push_back(cpu.ms);
        figures->memory.push_back(memory);
    }
    if (!instance.Close())
        std::fprintf(stderr, "%s did not close\n", kind.label);
    return true;
}

// Fewer pairs than this give a ratio and its range, but no verdict.
constexpr std::size_t kVerdictPairs = 5;

// A figure of runs made in pairs, one of each program: the median of each,
// and the median and range of the pairs' ratios. Met or missed only where
// the whole range lies on one side of the target.
void PairRow(const char* what, const char* unit, const std::vector<double>& yorunel,
             const std::vector<double>& minimal, bool withTarget) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < yorunel.size() && i < minimal.size(); ++i)
        if (minimal[i] > 0)
            ratios.push_back(yorunel[i] / minimal[i]);
    const int decimals = std::string(unit) == "ms" ? 1 : 0;
    std::printf("| %-44s | %-4s | %10.*f | %10.*f |", what, unit, decimals, Median(yorunel), decimals, Median(minimal));
    if (ratios.empty()) {
        std::printf(" %6s | %-11s | %-12s |\n", "n/a", "", "");
        return;
    }
    const auto [low, high] = std::minmax_element(ratios.begin(), ratios.end());
    const char* verdict = !withTarget                        ? ""
                          : ratios.size() < kVerdictPairs    ? "too few"
                          : *high <= 1.2                     ? "met"
                          : *low > 1.2                       ? "MISSED"
                                                             : "within noise";
    char range[32];
    std::snprintf(range, sizeof(range), "%.2f-%.2f", *low, *high);
    std::printf(" %6.2f | %-11s | %-12s |\n", Median(ratios), range, verdict);
}

void PrintStartTable(const char* title, const StartFigures& yorunel, const StartFigures& minimal) {
    const auto field = [](const StartFigures& figures, double Memory::*member) {
        std::vector<double> values;
        for (const Memory& m : figures.memory)
            values.push_back(m.*member);
        return values;
    };
    std::printf("\n%s\n", title);
    const auto runs = [](const char* what, const StartFigures& y, const StartFigures& m,
                         std::vector<double> StartFigures::*member) {
        std::printf("%s, pair by pair (Yorunel/minimal):", what);
        for (std::size_t i = 0; i < (y.*member).size(); ++i)
            std::printf(" %.0f/%.0f", (y.*member)[i], (m.*member)[i]);
        std::printf("\n");
    };
    runs("start ms", yorunel, minimal, &StartFigures::startMs);
    runs("CPU ms", yorunel, minimal, &StartFigures::cpuMs);
    std::printf("| %-44s | %-4s | %10s | %10s | %6s | %-11s | %-12s |\n", "measure (medians)", "unit", "Yorunel",
                "minimal", "ratio", "range", "<=1.2");
    std::printf("|%s|------|------------|------------|--------|-------------|--------------|\n",
                std::string(46, '-').c_str());
    PairRow("start until the tray icon is there", "ms", yorunel.startMs, minimal.startMs, true);
    PairRow("CPU time until start-up is over", "ms", yorunel.cpuMs, minimal.cpuMs, true);
    PairRow("working set (GetProcessMemoryInfo)", "KiB", field(yorunel, &Memory::workingSetKiB),
            field(minimal, &Memory::workingSetKiB), true);
    PairRow("Linux proportional set (Pss)", "KiB", field(yorunel, &Memory::pssKiB), field(minimal, &Memory::pssKiB),
            false);
    PairRow("Linux private resident (private)", "KiB", field(yorunel, &Memory::ownKiB),
            field(minimal, &Memory::ownKiB), true);
    if (Median(field(yorunel, &Memory::privateKiB)) <= 0 && Median(field(minimal, &Memory::privateKiB)) <= 0)
        std::printf("(GetProcessMemoryInfo's PrivateUsage reads 0 for both under Wine: the Linux private resident\n"
                    " pages stand for the private bytes)\n");
    else
        PairRow("PrivateUsage (GetProcessMemoryInfo)", "KiB", field(yorunel, &Memory::privateKiB),
                field(minimal, &Memory::privateKiB), false);
}

int StartBench(int pairs) {
    const Programs built = FindPrograms();
    const Programs stripped = FindPrograms(true);
    const ProgramKind* kinds[4] = {&built.yorunel, &built.minimal, &stripped.yorunel, &stripped.minimal};
    for (const ProgramKind* kind : kinds)
        if (!FileExists(kind->exe)) {
            std::fprintf(stderr, "no %s\n", kind->exe.c_str());
            return 1;
        }
    WallpaperFolder wallpapers;
    // A first run of each warms the file cache and the session; not counted.
    for (const ProgramKind* kind : kinds)
        if (!MeasureStart(*kind, wallpapers.Path(), nullptr))
            return 1;
    StartFigures figures[4];
    for (int pair = 0; pair < pairs; ++pair) {
        // A pair of each build, one program after the other, taking turns at
        // going first: none always finds the pages of another warm, and what
        // else the machine does falls on both of a pair alike.
        for (int turn = 0; turn < 4; ++turn) {
            const int which = pair % 2 == 0 ? turn : 3 - turn;
            if (!MeasureStart(*kinds[which], wallpapers.Path(), &figures[which]))
                return 1;
        }
    }
    std::printf("start and memory of each build, pairs of runs (Yorunel and the minimal program, one after the\n"
                "other): %d, after one uncounted run of each; memory is read once a run's message loop waits for\n"
                "input (WaitForInputIdle). Ratio: the median of the pairs' ratios, with their range; a verdict only\n"
                "from %zu pairs, \"within noise\" where the range holds the target\n",
                pairs, kVerdictPairs);
    PrintStartTable("as built (x86_64 RelWithDebInfo, with debug information)", figures[0], figures[1]);
    PrintStartTable("debug information stripped (the same code, as a user runs it)", figures[2], figures[3]);
    return 0;
}

int IdleBench(int seconds) {
    const Programs programs = FindPrograms();
    ProgramKind timed = programs.minimal;
    timed.label = "minimal with a minute timer";
    timed.arguments = "minute-timer";
    WallpaperFolder wallpapers;
    Instance yorunel(programs.yorunel, wallpapers.Path());
    Instance minimal(programs.minimal, wallpapers.Path());
    Instance minimalTimed(timed, wallpapers.Path());
    Instance* const instances[3] = {&yorunel, &minimal, &minimalTimed};
    for (Instance* instance : instances) {
        if (!instance->Start() || instance->WaitTrayIcon() < 0 || !instance->WaitSettled()) {
            std::fprintf(stderr, "%s did not start\n", instance->Kind().label);
            return 1;
        }
    }
    Cpu before[3];
    Memory memoryBefore[3];
    for (int i = 0; i < 3; ++i) {
        before[i] = instances[i]->ReadCpu();
        memoryBefore[i] = instances[i]->ReadMemory();
    }
    // The one deliberate wait: the idle period is what is measured.
    Sleep(static_cast<DWORD>(seconds) * 1000);
    Cpu after[3];
    Memory memoryAfter[3];
    bool allRan = true;
    for (int i = 0; i < 3; ++i) {
        after[i] = instances[i]->ReadCpu();
        memoryAfter[i] = instances[i]->ReadMemory();
        allRan = allRan && instances[i]->Running();
    }
    for (Instance* instance : instances)
        instance->Close();
    if (!allRan) {
        std::fprintf(stderr, "a program ended during the idle period\n");
        return 1;
    }
    std::printf("idle: the programs (as built) started, then %d s side by side with nothing to do\n", seconds);
    std::printf("threads: Yorunel %d, minimal %d\n", after[0].threads, after[1].threads);
    // Against the bare tray program, and against one that also keeps the
    // one-minute timer that wallpaper rotation needs.
    for (int other : {1, 2}) {
        std::printf("%s\n", other == 1 ? "against the minimal tray program:"
                                      : "against the minimal tray program with a one-minute timer that does nothing:");
        TableHead("measure");
        Row("idle CPU time (all threads, schedstat)", "ms", after[0].ms - before[0].ms,
            after[other].ms - before[other].ms, true);
        Row("idle CPU time (utime+stime, 10 ms ticks)", "ms", after[0].tickMs - before[0].tickMs,
            after[other].tickMs - before[other].tickMs, false);
        Row("idle wake-ups (context switches)", "", static_cast<double>(after[0].switches - before[0].switches),
            static_cast<double>(after[other].switches - before[other].switches), false);
        if (other == 2)
            break;
        Row("working set, idle period's end", "KiB", memoryAfter[0].workingSetKiB, memoryAfter[1].workingSetKiB,
            false);
        Row("Linux private resident, its end", "KiB", memoryAfter[0].ownKiB, memoryAfter[1].ownKiB, false);
        Row("Linux private resident growth", "KiB", memoryAfter[0].ownKiB - memoryBefore[0].ownKiB,
            memoryAfter[1].ownKiB - memoryBefore[1].ownKiB, false);
    }
    return 0;
}

long long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void PrintLatencies(const char* what, const std::vector<double>& ms) {
    std::vector<double> rest(ms.begin() + 1, ms.end());
    const auto [low, high] = std::minmax_element(rest.begin(), rest.end());
    std::printf("| %-48s | %8.1f | %8.1f | %8.1f | %8.1f |\n", what, ms.front(), Median(rest), *low, *high);
}

int HotKeyBench(int presses) {
    const Programs programs = FindPrograms();
    const std::string recorderFolder = FullPath(HelperFolder() + "..\\tests\\e2e\\");
    if (!FileExists(recorderFolder + "wallpaper_recorder.dll")) {
        std::fprintf(stderr, "no %swallpaper_recorder.dll\n", recorderFolder.c_str());
        return 1;
    }
    presses = std::max(presses, 2);

    // The system's part alone: the same kind of press to a hotkey of a window of this program.
    std::vector<double> delivery;
    {
        TestWindow window("bench hotkey", "YorunelBenchWindow", WS_OVERLAPPED);
        if (!RegisterHotKey(window.Handle(), 1, MOD_CONTROL | MOD_ALT, 'Q')) {
            std::fprintf(stderr, "Ctrl+Alt+Q is taken\n");
            return 1;
        }
        for (int i = 0; i < presses; ++i) {
            const double pressed = bench::NowMs();
            PressKeys({VK_CONTROL, VK_MENU, 'Q'});
            if (!WaitUntil([&] { return window.Count(WM_HOTKEY) > i; }, 5000, kTimedPollMs)) {
                std::fprintf(stderr, "the test hotkey never came\n");
                return 1;
            }
            delivery.push_back(bench::NowMs() - pressed);
        }
        UnregisterHotKey(window.Handle(), 1);
    }

    WallpaperRecorder recorder(recorderFolder);
    if (!recorder.Registered()) {
        std::fprintf(stderr, "cannot register the recording Active Desktop object\n");
        return 1;
    }
    const std::string log = recorder.LogPath();
    std::vector<double> latency;
    {
        WallpaperFolder wallpapers;
        Instance yorunel(programs.yorunel, wallpapers.Path());
        if (!yorunel.Start() || yorunel.WaitTrayIcon() < 0 || !yorunel.WaitSettled()) {
            std::fprintf(stderr, "Yorunel did not start\n");
            return 1;
        }
        for (int i = 0; i < presses; ++i) {
            const long long size = FileSize(log);
            const std::size_t lines = recorder.Lines().size();
            const double pressed = bench::NowMs();
            PressAction(5);
            // Its first line is the SetWallpaper call.
            if (!WaitUntil([&] { return FileSize(log) > size; }, 10000, kTimedPollMs)) {
                std::fprintf(stderr, "press %d: no wallpaper set\n", i + 1);
                return 1;
            }
            latency.push_back(bench::NowMs() - pressed);
            // SetWallpaper, ApplyChanges and the object's release: done before the next press.
            recorder.WaitForLines(lines + 3);
        }
        yorunel.Close();
    }
    const std::string text = ReadFileBytes(log);
    if (text.find("SetWallpaper ") == std::string::npos) {
        std::fprintf(stderr, "the log has no SetWallpaper line:\n%s\n", text.c_str());
        return 1;
    }
    std::printf("hotkey: %d presses (SendInput) of each, polled every millisecond\n", presses);
    std::printf("| %-48s | %8s | %8s | %8s | %8s |\n", "ms from SendInput until ...", "first", "median", "min", "max");
    std::printf("|%s|%s|%s|%s|%s|\n", std::string(50, '-').c_str(), std::string(10, '-').c_str(),
                std::string(10, '-').c_str(), std::string(10, '-').c_str(), std::string(10, '-').c_str());
    PrintLatencies("WM_HOTKEY reaches a program (the system's part)", delivery);
    PrintLatencies("Yorunel's wallpaper object has the path", latency);
    std::printf("(the first press also loads the wallpaper object's server; median, min and max are of the rest)\n");
    std::printf("the object's first line: %s\n", text.substr(0, text.find('\n')).c_str());
    return 0;
}

// Milliseconds from a posted tray click until the menu's window shows, for
// each click; the menu is closed again after each.
bool TimeMenus(YorunelProcess& yorunel, int clicks, std::vector<double>& ms) {
    for (int i = 0; i < clicks; ++i) {
        const double clicked = bench::NowMs();
        yorunel.Tray(WM_RBUTTONDOWN);
        const auto shown = [] {
            for (HWND menu : FindTopWindows("#32768", nullptr))
                if (IsWindowVisible(menu))
                    return true;
            return false;
        };
        if (!WaitUntil(shown, 10000, kTimedPollMs))
            return false;
        ms.push_back(bench::NowMs() - clicked);
        MenuKeys({VK_ESCAPE});
        if (!PopupMenuGone())
            return false;
    }
    return true;
}

int MenuBench(int clicks) {
    const Programs programs = FindPrograms();
    const std::string recorderFolder = FullPath(HelperFolder() + "..\\tests\\e2e\\");
    WallpaperRecorder recorder(recorderFolder);
    if (!recorder.Registered()) {
        std::fprintf(stderr, "cannot register the recording Active Desktop object\n");
        return 1;
    }
    clicks = std::max(clicks, 2);
    std::vector<double> idle, blocked;
    {
        WallpaperFolder wallpapers;
        YorunelProcess yorunel(programs.yorunel.exe, programs.yorunel.windowClass);
        yorunel.WriteIni(ActionsIni({"WallPaperPath=" + wallpapers.Path()}, 10));
        if (!yorunel.Start() || !yorunel.WaitReady()) {
            std::fprintf(stderr, "Yorunel did not start\n");
            return 1;
        }
        const bool idleTimed = TimeMenus(yorunel, clicks, idle);
        // The object blocks in SetWallpaper (for 20 s at most here) while the clicks come.
        recorder.Block(true);
        PressAction(5);
        const double blockedAt = bench::NowMs();
        const bool setting = recorder.WaitForLines(1);
        const bool blockedTimed = setting && TimeMenus(yorunel, clicks, blocked);
        const bool stillBlocked = recorder.Lines().size() == 1 && bench::NowMs() - blockedAt < 20000;
        recorder.Block(false);
        yorunel.Close();
        yorunel.WaitForExit();
        if (!idleTimed || !blockedTimed || !stillBlocked) {
            std::fprintf(stderr, "menu: %s\n", !idleTimed ? "no menu while idle"
                                               : !setting  ? "no wallpaper set"
                                               : !blockedTimed ? "no menu while the object blocks"
                                                               : "the object was not blocked for every click");
            return 1;
        }
    }
    std::printf("menu: %d tray clicks (posted WM_TRAYICON) of each; the menu opens without WM_INITMENUPOPUP\n"
                "(TPM_NONOTIFY), so its window becoming visible is the end, polled every millisecond\n",
                clicks);
    std::printf("| %-48s | %8s | %8s | %8s | %8s |\n", "ms from the click until the menu shows", "first", "median",
                "min", "max");
    std::printf("|%s|%s|%s|%s|%s|\n", std::string(50, '-').c_str(), std::string(10, '-').c_str(),
                std::string(10, '-').c_str(), std::string(10, '-').c_str(), std::string(10, '-').c_str());
    PrintLatencies("idle", idle);
    PrintLatencies("while the wallpaper object blocks", blocked);
    std::vector<double> idleRest(idle.begin() + 1, idle.end()), blockedRest(blocked.begin() + 1, blocked.end());
    std::printf("menu-latency idle=%.2f blocked=%.2f ratio=%.2f\n", Median(idleRest), Median(blockedRest),
                Median(blockedRest) / Median(idleRest));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const int count = argc > 2 ? std::atoi(argv[2]) : 0;
    if (mode == "start")
        return StartBench(count > 0 ? count : 11);
    if (mode == "idle")
        return IdleBench(count > 0 ? count : 120);
    if (mode == "hotkey")
        return HotKeyBench(count > 0 ? count : 20);
    if (mode == "menu")
        return MenuBench(count > 0 ? count : 20);
    std::fprintf(stderr, "usage: bench_footprint start [pairs] | idle [seconds] | hotkey [presses] | menu [clicks]\n");
    return 2;
}
