#include "tests/e2e/process_counts.h"

#include <winternl.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "tests/support/test_support.h"

namespace e2e {

namespace {

using QueryProcess = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
using QuerySystem = NTSTATUS(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

template <typename Function>
Function NtdllFunction(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)));
}

// The system handle list's entries, as the documented structure lays them out.
struct SystemHandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
};

long HandlesInSystemList(DWORD processId) {
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
    const auto query = NtdllFunction<QuerySystem>("NtQuerySystemInformation");
    std::vector<char> buffer(1 << 16);
    NTSTATUS status;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr)) ==
           kInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return -1;
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const SystemHandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
    long own = 0;
    for (ULONG i = 0; i < count; ++i)
        own += entries[i].ownerPid == processId ? 1 : 0;
    return own;
}

// One entry of a process's GDI handle table: 24 bytes, the type in byte 14.
struct GdiTableEntry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint16_t extraType;
    std::uint8_t type;
    std::uint8_t generation;
    std::uint64_t user;
};

long GdiTableEntries(HANDLE process) {
    constexpr std::size_t kGdiHandles = 0x10000;
    // PEB.GdiSharedHandleTable of a 64-bit process.
    constexpr std::size_t kPebGdiTable = 0xF8;
    PROCESS_BASIC_INFORMATION basic = {};
    if (NtdllFunction<QueryProcess>("NtQueryInformationProcess")(process, ProcessBasicInformation, &basic,
                                                                 sizeof(basic), nullptr) != 0)
        return -1;
    std::uint64_t table = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<const char*>(basic.PebBaseAddress) + kPebGdiTable, &table,
                           sizeof(table), nullptr) ||
        !table)
        return -1;
    std::vector<GdiTableEntry> entries(kGdiHandles);
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                           entries.size() * sizeof(GdiTableEntry), nullptr))
        return -1;
    long used = 0;
    for (const GdiTableEntry& entry : entries)
        used += entry.type != 0 ? 1 : 0;
    return used;
}

long CommittedPrivateKiB(HANDLE process) {
    std::uint64_t bytes = 0;
    MEMORY_BASIC_INFORMATION region;
    const char* address = nullptr;
    while (VirtualQueryEx(process, address, &region, sizeof(region)) == sizeof(region)) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            bytes += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return static_cast<long>(bytes / 1024);
}

struct WindowCount {
    DWORD processId;
    long top = 0;
    long children = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM data) {
    ++reinterpret_cast<WindowCount*>(data)->children;
    return TRUE;
}

void CountWindow(HWND window, WindowCount& count) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != count.processId)
        return;
    ++count.top;
    // Every descendant, not only the direct children.
    EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&count));
}

BOOL CALLBACK CountTop(HWND window, LPARAM data) {
    CountWindow(window, *reinterpret_cast<WindowCount*>(data));
    return TRUE;
}

WindowCount CountWindows(DWORD processId) {
    WindowCount count{processId};
    EnumWindows(CountTop, reinterpret_cast<LPARAM>(&count));
    // Message-only windows are not top-level windows to EnumWindows.
    HWND window = nullptr;
    while ((window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr)) != nullptr)
        CountWindow(window, count);
    return count;
}

long ResidentAnonymousKiB(unsigned linuxProcessId) {
    if (!linuxProcessId)
        return 0;
    const std::string status =
        testing_support::ReadFileBytes("Z:\\proc\\" + std::to_string(linuxProcessId) + "\\status");
    const std::size_t at = status.find("RssAnon:");
    return at == std::string::npos ? 0 : std::atol(status.c_str() + at + 8);
}

}  // namespace

unsigned LinuxProcessOf(const std::string& commandLineText) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    unsigned id = 0;
    do {
        if (found.cFileName[0] < '1' || found.cFileName[0] > '9')
            continue;
        const std::string commandLine =
            testing_support::ReadFileBytes(std::string("Z:\\proc\\") + found.cFileName + "\\cmdline");
        if (commandLine.find(commandLineText) != std::string::npos)
            id = static_cast<unsigned>(std::atol(found.cFileName));
    } while (!id && FindNextFileA(search, &found));
    FindClose(search);
    return id;
}

bool ProcessCounts::SameCounts(const ProcessCounts& other) const {
    return handles == other.handles && gdiObjects == other.gdiObjects && userObjects == other.userObjects &&
           topWindows == other.topWindows && childWindows == other.childWindows;
}

std::string ProcessCounts::Describe() const {
    return "handles " + std::to_string(handles) + ", GDI " + std::to_string(gdiObjects) + ", USER " +
           std::to_string(userObjects) + ", top-level windows " + std::to_string(topWindows) + ", child windows " +
           std::to_string(childWindows) + ", private " + std::to_string(privateKiB) + " KiB, resident " + std::to_string(residentKiB) + " KiB";
}

ProcessCounts SampleProcess(DWORD processId, unsigned linuxProcessId) {
    ProcessCounts counts;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process)
        return counts;
    DWORD handles = 0;
    counts.handles = GetProcessHandleCount(process, &handles) && handles > 0 ? static_cast<long>(handles)
                                                                              : HandlesInSystemList(processId);
    const WindowCount windows = CountWindows(processId);
    counts.topWindows = windows.top;
    counts.childWindows = windows.children;
    const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    counts.gdiObjects = gdi > 0 ? static_cast<long>(gdi) : GdiTableEntries(process);
    const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    counts.userObjects = user > 0 ? static_cast<long>(user) : windows.top + windows.children;
    counts.privateKiB = CommittedPrivateKiB(process);
    counts.residentKiB = ResidentAnonymousKiB(linuxProcessId);
    CloseHandle(process);
    return counts;
}

}  // namespace e2e
