// A program that the tests put where the program under test starts another
// program, and register as the one that opens links: it appends to the file
// named by YORUNEL_COMMAND_LOG one line of its own path, its command line and
// the show state it was given, then ends. A windows program, since Wine would
// open a console window for a console one, over the windows under test.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char log[2048];
    const DWORD length = GetEnvironmentVariableA("YORUNEL_COMMAND_LOG", log, sizeof(log));
    if (length == 0 || length >= sizeof(log))
        return 1;
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    const std::string show =
        (startup.dwFlags & STARTF_USESHOWWINDOW) ? std::to_string(startup.wShowWindow) : std::string("none");
    const std::string line =
        std::string("module=") + module + "|command=" + GetCommandLineA() + "|show=" + show + "\n";
    // Appending only, shared: two recorders of a double click both write whole lines.
    HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}
