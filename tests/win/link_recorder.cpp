// Stands in for the browser and the mail program of the link label's tests:
// the shell starts it with a log file and the target it was asked to open,
// and it appends the target to the log, one line each. A windows program,
// since Wine would open a console window for a console one, over the label.
#include <windows.h>

#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 3)
        return 2;
    const char* const log = __argv[1];
    const std::string line = std::string(__argv[2]) + "\n";
    // Two presses in quick succession start two recorders: wait for the other's write.
    for (int attempt = 0; attempt < 500; ++attempt) {
        HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(file);
            return written == line.size() ? 0 : 1;
        }
        if (GetLastError() != ERROR_SHARING_VIOLATION)
            return 1;
        Sleep(10);
    }
    return 1;
}
