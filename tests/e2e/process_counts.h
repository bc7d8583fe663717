// What a running process holds, counted from outside: for soak runs that
// look for growth over thousands of operations.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

struct ProcessCounts {
    long handles = 0;        // kernel handles
    long gdiObjects = 0;     // GDI objects
    long userObjects = 0;    // USER objects (see SampleProcess)
    long topWindows = 0;     // top-level windows, message-only ones included
    long childWindows = 0;   // child windows of those
    long privateKiB = 0;     // committed private memory
    long residentKiB = 0;    // Linux: resident pages of the Wine process no other process maps

    // The counts that must come back exactly (memory is left out).
    bool SameCounts(const ProcessCounts& other) const;
    std::string Describe() const;
};

// Windows' own counters where they answer; Wine 8 answers GetProcessHandleCount
// and GetGuiResources with 0, so there the handles are the process's entries
// of the system handle list, the GDI objects the used entries of the process's
// GDI handle table (PEB GdiSharedHandleTable), and the USER objects its windows.
// The memory is the sum of the committed private regions (VirtualQueryEx).
// linuxProcessId: the Wine process's Linux id, for its resident memory.
ProcessCounts SampleProcess(DWORD processId, unsigned linuxProcessId = 0);
// The Linux process whose command line holds the text (a folder, say), or 0.
unsigned LinuxProcessOf(const std::string& commandLineText);

}  // namespace e2e
