// A library an attacker might leave in a user's folder: loading it at all
// leaves a mark in the file its environment names.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    char path[MAX_PATH] = {};
    if (GetEnvironmentVariableA("YORUNEL_PLANTED_MARK", path, MAX_PATH) == 0)
        return TRUE;
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, "loaded\n", 7, &written, nullptr);
        CloseHandle(file);
    }
    return TRUE;
}
