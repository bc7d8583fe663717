// Yorunel.exe beside the least a tray program can be (tray_minimal.exe),
// measured from outside under the same Wine session:
//
//   bench_footprint.exe start [repetitions]   start until the tray icon is there, and memory then
//   bench_footprint.exe idle [seconds]        CPU time of both, side by side, while nothing happens
//   bench_footprint.exe hotkey [presses]      wallpaper hotkey press until the wallpaper object has the path
//
// The programs are found beside this one (tray_minimal.exe), one folder up
// (Yorunel.exe) and in the end-to-end tests' folder (wallpaper_recorder.dll).
// Each run of a program gets a folder of its own with a copy of it, and
// Yorunel a settings file with five hotkeys, a wallpaper folder of a few
// files and Time=10.
//
// Memory and CPU are read twice: through the Win32 calls (GetProcessMemoryInfo,
// GetProcessTimes) and from the Linux process Wine runs (its /proc files,
// seen through the Z: drive), found by its command line, which names the
// program's own folder.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Polls every millisecond until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, double timeoutMs) {
    const double end = Now() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (Now() > end)
            return false;
        Sleep(1);
    }
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string OwnFolder() {
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    const std::string path = module;
    return path.substr(0, path.rfind('\\') + 1);
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The whole file; also for /proc files, whose size is 0 until read.
std::string ReadAll(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

void WriteAll(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

std::string NewScratchFolder(const std::string& tag) {
    static int serial = 0;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "yorunel_bench_" + std::to_string(GetCurrentProcessId()) + "_" +
                               tag + "_" + std::to_string(++serial);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
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

// The Linux process whose command line names the folder; 0 when none does.
unsigned LinuxProcessOf(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    unsigned pid = 0;
    do {
        const char* name = found.cFileName;
        if (name[0] < '1' || name[0] > '9')
            continue;
        std::string commandLine = ReadAll(std::string("Z:\\proc\\") + name + "\\cmdline");
        std::replace(commandLine.begin(), commandLine.end(), '\0', ' ');
        if (commandLine.find(folder) != std::string::npos) {
            pid = static_cast<unsigned>(std::atoi(name));
            break;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return pid;
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

const char* const kHotKeyLines =
    "Paint=Ctrl+Alt+P\r\nScreenSaver=Ctrl+Alt+S\r\nExitDialog=Ctrl+Alt+X\r\n"
    "Panic=Ctrl+Alt+N\r\nWallPaper=Ctrl+Alt+W\r\n";

struct ProgramKind {
    const char* label;
    std::string exe;
    const char* windowClass;
    bool yorunel;
    std::string arguments = {};
};

// One run of one program in a folder of its own.
class Instance {
public:
    Instance(const ProgramKind& kind, const std::string& wallpapers) : kind_(kind) {
        folder_ = NewScratchFolder(kind.yorunel ? "y" : "m");
        const std::string name = kind.exe.substr(kind.exe.rfind('\\') + 1);
        exe_ = folder_ + "\\" + name;
        CopyFileA(kind.exe.c_str(), exe_.c_str(), FALSE);
        if (kind.yorunel)
            WriteAll(folder_ + "\\Yorunel.ini", std::string("[HotKey]\r\n") + kHotKeyLines + "WallPaperPath=" +
                                                    wallpapers + "\r\nTime=10\r\n[Operate]\r\nMouse=1\r\n");
    }
    ~Instance() {
        if (process_.hProcess) {
            if (Running()) {
                PostMessageA(window_, WM_CLOSE, 0, 0);
                if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0)
                    TerminateProcess(process_.hProcess, 99);
                WaitForSingleObject(process_.hProcess, 5000);
            }
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        RemoveTree(folder_);
    }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    const ProgramKind& Kind() const { return kind_; }

    bool Start() {
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        std::string commandLine = "\"" + exe_ + "\"";
        if (!kind_.arguments.empty())
            commandLine += " " + kind_.arguments;
        started_ = Now();
        return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(),
                              &startup, &process_) != FALSE;
    }

    // Milliseconds from CreateProcess until the tray has the icon; negative on time-out.
    double WaitTrayIcon(double timeoutMs = 20000) {
        if (!WaitUntil([&] { return TrayIconPresent(); }, timeoutMs))
            return -1;
        return Now() - started_;
    }

    // Its message loop waits for input: start-up is over.
    bool WaitSettled() { return WaitForInputIdle(process_.hProcess, 10000) == 0; }

    bool Running() const { return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

    Memory ReadMemory() {
        Memory memory;
        PROCESS_MEMORY_COUNTERS_EX counters = {};
        counters.cb = sizeof(counters);
        if (GetProcessMemoryInfo(process_.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                 sizeof(counters))) {
            memory.workingSetKiB = static_cast<double>(counters.WorkingSetSize) / 1024;
            memory.privateKiB = static_cast<double>(counters.PrivateUsage) / 1024;
        }
        if (const unsigned pid = LinuxPid()) {
            const std::string rollup = ReadAll("Z:\\proc\\" + std::to_string(pid) + "\\smaps_rollup");
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
        const std::string stat = ReadAll(base + "\\stat");
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
                cpu.ms += static_cast<double>(std::atoll(ReadAll(task + "\\schedstat").c_str())) / 1e6;
                const std::string status = ReadAll(task + "\\status");
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
        PostMessageA(window_, WM_CLOSE, 0, 0);
        return WaitForSingleObject(process_.hProcess, 15000) == WAIT_OBJECT_0;
    }

    HWND Window() const { return window_; }

private:
    unsigned LinuxPid() {
        if (!linuxPid_)
            linuxPid_ = LinuxProcessOf(folder_);
        return linuxPid_;
    }

    bool TrayIconPresent() {
        if (!window_) {
            HWND candidate = nullptr;
            while ((candidate = FindWindowExA(nullptr, candidate, kind_.windowClass, nullptr)) != nullptr) {
                DWORD owner = 0;
                GetWindowThreadProcessId(candidate, &owner);
                if (owner == process_.dwProcessId) {
                    window_ = candidate;
                    break;
                }
            }
            if (!window_)
                return false;
        }
        // A modification without flags succeeds exactly when the icon exists.
        NOTIFYICONDATAA probe = {};
        probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
        probe.hWnd = window_;
        probe.uID = 0;
        return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
    }

    ProgramKind kind_;
    std::string folder_;
    std::string exe_;
    PROCESS_INFORMATION process_ = {};
    HWND window_ = nullptr;
    double started_ = 0;
    unsigned linuxPid_ = 0;
};

class WallpaperFolder {
public:
    WallpaperFolder() : path_(NewScratchFolder("pictures")) {
        for (const char* name : kWallpaperFiles)
            WriteAll(path_ + "\\" + name, "picture");
    }
    ~WallpaperFolder() { RemoveTree(path_); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
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
    const std::string own = OwnFolder();
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

void PrintStartTable(const char* title, const StartFigures& yorunel, const StartFigures& minimal) {
    const auto median = [](const StartFigures& figures, double Memory::*field) {
        std::vector<double> values;
        for (const Memory& m : figures.memory)
            values.push_back(m.*field);
        return Median(values);
    };
    std::printf("\n%s\n", title);
    const auto runs = [](const char* what, const StartFigures& y, const StartFigures& m,
                          std::vector<double> StartFigures::*field) {
        std::printf("%s, run by run: Yorunel", what);
        for (double ms : y.*field)
            std::printf(" %.0f", ms);
        std::printf("; minimal");
        for (double ms : m.*field)
            std::printf(" %.0f", ms);
        std::printf("\n");
    };
    runs("start ms", yorunel, minimal, &StartFigures::startMs);
    runs("CPU ms", yorunel, minimal, &StartFigures::cpuMs);
    TableHead("measure");
    const auto least = [](const std::vector<double>& values) {
        return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
    };
    Row("start until the tray icon is there, median", "ms", Median(yorunel.startMs), Median(minimal.startMs),
        true);
    // Other work on the machine only ever adds: the fastest run is the steadiest figure.
    Row("start until the tray icon is there, fastest", "ms", least(yorunel.startMs), least(minimal.startMs), true);
    Row("CPU time until start-up is over, median", "ms", Median(yorunel.cpuMs), Median(minimal.cpuMs), true);
    Row("CPU time until start-up is over, least", "ms", least(yorunel.cpuMs), least(minimal.cpuMs), true);
    Row("working set (GetProcessMemoryInfo), median", "KiB", median(yorunel, &Memory::workingSetKiB),
        median(minimal, &Memory::workingSetKiB), true);
    Row("Linux proportional set (Pss), median", "KiB", median(yorunel, &Memory::pssKiB),
        median(minimal, &Memory::pssKiB), false);
    Row("Linux private resident (private), median", "KiB", median(yorunel, &Memory::ownKiB),
        median(minimal, &Memory::ownKiB), true);
    if (median(yorunel, &Memory::privateKiB) <= 0 && median(minimal, &Memory::privateKiB) <= 0)
        std::printf("(GetProcessMemoryInfo's PrivateUsage reads 0 for both under Wine: the Linux private resident\n"
                    " pages stand for the private bytes)\n");
    else
        Row("PrivateUsage (GetProcessMemoryInfo)", "KiB", median(yorunel, &Memory::privateKiB),
            median(minimal, &Memory::privateKiB), false);
}

int StartBench(int repetitions) {
    const Programs built = FindPrograms();
    const Programs stripped = FindPrograms(true);
    for (const ProgramKind* kind : {&built.yorunel, &built.minimal, &stripped.yorunel, &stripped.minimal})
        if (!FileExists(kind->exe)) {
            std::fprintf(stderr, "no %s\n", kind->exe.c_str());
            return 1;
        }
    WallpaperFolder wallpapers;
    // A first run of each warms the file cache and the session; not counted.
    for (const ProgramKind* kind : {&built.yorunel, &built.minimal, &stripped.yorunel, &stripped.minimal})
        if (!MeasureStart(*kind, wallpapers.Path(), nullptr))
            return 1;
    StartFigures figures[4];
    const ProgramKind* kinds[4] = {&built.yorunel, &built.minimal, &stripped.yorunel, &stripped.minimal};
    for (int round = 0; round < repetitions; ++round) {
        // Taking turns at going first: none always finds the pages of another warm.
        for (int turn = 0; turn < 4; ++turn) {
            const int which = round % 2 == 0 ? turn : 3 - turn;
            if (!MeasureStart(*kinds[which], wallpapers.Path(), &figures[which]))
                return 1;
        }
    }
    std::printf("start and memory: %d runs of each of the four programs, interleaved, after one uncounted run"
                " of each;\n"
                "memory is read once a run's message loop waits for input (WaitForInputIdle)\n",
                repetitions);
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

// While it lives, the tests' recording object is the Active Desktop class of
// the session's machine registry; the previous registration comes back after.
class RecorderRegistration {
public:
    explicit RecorderRegistration(const std::string& dll) {
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_, nullptr) !=
            ERROR_SUCCESS)
            return;
        hadServer_ = Read(nullptr, oldServer_);
        hadModel_ = Read("ThreadingModel", oldModel_);
        registered_ = Write(nullptr, dll) && Write("ThreadingModel", "Apartment");
    }
    ~RecorderRegistration() {
        if (!key_)
            return;
        if (hadServer_)
            Write(nullptr, oldServer_);
        else
            RegDeleteValueA(key_, nullptr);
        if (hadModel_)
            Write("ThreadingModel", oldModel_);
        else
            RegDeleteValueA(key_, "ThreadingModel");
        RegCloseKey(key_);
    }
    RecorderRegistration(const RecorderRegistration&) = delete;
    RecorderRegistration& operator=(const RecorderRegistration&) = delete;
    bool Registered() const { return registered_; }

private:
    static constexpr const char* kKey =
        "Software\\Classes\\CLSID\\{75048700-EF1F-11D0-9888-006097DEACF9}\\InprocServer32";
    bool Read(const char* name, std::string& value) const {
        char buffer[1024] = {};
        DWORD size = sizeof(buffer) - 1;
        DWORD type = 0;
        if (RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            return false;
        value = buffer;
        return true;
    }
    bool Write(const char* name, const std::string& value) const {
        return RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
    }
    HKEY key_ = nullptr;
    bool registered_ = false;
    bool hadServer_ = false;
    std::string oldServer_;
    bool hadModel_ = false;
    std::string oldModel_;
};

void PressCtrlAlt(WORD key) {
    const WORD keys[] = {VK_CONTROL, VK_MENU, key};
    INPUT inputs[6] = {};
    for (int i = 0; i < 3; ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[i];
        inputs[5 - i].type = INPUT_KEYBOARD;
        inputs[5 - i].ki.wVk = keys[i];
        inputs[5 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(6, inputs, sizeof(INPUT));
}

long long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::size_t LineCount(const std::string& path) {
    const std::string text = ReadAll(path);
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

void PrintLatencies(const char* what, const std::vector<double>& ms) {
    std::vector<double> rest(ms.begin() + 1, ms.end());
    const auto [low, high] = std::minmax_element(rest.begin(), rest.end());
    std::printf("| %-48s | %8.1f | %8.1f | %8.1f | %8.1f |\n", what, ms.front(), Median(rest), *low, *high);
}

int HotKeyBench(int presses) {
    const Programs programs = FindPrograms();
    const std::string recorderDll = FullPath(OwnFolder() + "..\\tests\\e2e\\wallpaper_recorder.dll");
    if (!FileExists(recorderDll)) {
        std::fprintf(stderr, "no %s\n", recorderDll.c_str());
        return 1;
    }
    presses = std::max(presses, 2);

    // The system's part alone: the same kind of press to a hotkey of this program.
    std::vector<double> delivery;
    if (!RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'Q')) {
        std::fprintf(stderr, "Ctrl+Alt+Q is taken\n");
        return 1;
    }
    for (int i = 0; i < presses; ++i) {
        const double pressed = Now();
        PressCtrlAlt('Q');
        MSG message;
        const bool got =
            WaitUntil([&] { return PeekMessageA(&message, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE) != FALSE; }, 5000);
        if (!got) {
            std::fprintf(stderr, "the test hotkey never came\n");
            return 1;
        }
        delivery.push_back(Now() - pressed);
    }
    UnregisterHotKey(nullptr, 1);

    RecorderRegistration registration(recorderDll);
    if (!registration.Registered()) {
        std::fprintf(stderr, "cannot register the recording Active Desktop object\n");
        return 1;
    }
    const std::string logFolder = NewScratchFolder("log");
    const std::string log = logFolder + "\\wallpaper.log";
    SetEnvironmentVariableA("YORUNEL_WALLPAPER_LOG", log.c_str());
    SetEnvironmentVariableA("YORUNEL_WALLPAPER_FAIL", nullptr);
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
            const std::size_t lines = LineCount(log);
            const double pressed = Now();
            PressCtrlAlt('W');
            // Its first line is the SetWallpaper call.
            if (!WaitUntil([&] { return FileSize(log) > size; }, 10000)) {
                std::fprintf(stderr, "press %d: no wallpaper set\n", i + 1);
                return 1;
            }
            latency.push_back(Now() - pressed);
            // SetWallpaper, ApplyChanges and the object's release: done before the next press.
            WaitUntil([&] { return LineCount(log) >= lines + 3; }, 10000);
        }
        yorunel.Close();
    }
    SetEnvironmentVariableA("YORUNEL_WALLPAPER_LOG", nullptr);
    const std::string text = ReadAll(log);
    RemoveTree(logFolder);
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
    std::fprintf(stderr, "usage: bench_footprint start [repetitions] | idle [seconds] | hotkey [presses]\n");
    return 2;
}
