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
    const std::string line = std::string(__argv[2]) + "\n";
    // Appending only, shared: two recorders of a double click both write whole lines.
    HANDLE file = CreateFileA(__argv[1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return written == line.size() ? 0 : 1;
}
