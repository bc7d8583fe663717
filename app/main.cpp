// Program entry: one instance only, COM for the wallpaper object, then the
// hidden main window lives on messages until "終了".
#include <windows.h>

#include <cstdlib>

#include "app/korvan_main.h"
#include "app/program_resources.h"
#include "framework/application.h"
#include "framework/handles.h"
#include "resources/texts.h"

namespace {

// Libraries load from the system folder only: the settings dialog moves the
// current directory into user folders, and shell and COM libraries load
// later. Looked up at run time, as older systems lack the call.
void RestrictLibrarySearch() {
    using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);
    const auto restrict = reinterpret_cast<SetDefaultDllDirectoriesProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    if (restrict)
        restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictLibrarySearch();
    // A wallpaper folder on an empty card reader or a removed drive is then
    // not found, rather than the system asking for a disk.
    SetErrorMode(GetErrorMode() | SEM_FAILCRITICALERRORS);
    // Two starts at once both pass the window test; the mutex lets one through.
    unique_handle_t mutex(CreateMutexA(nullptr, FALSE, "Local\\Yorunel.Instance"));
    const bool another = GetLastError() == ERROR_ALREADY_EXISTS;
    if (another || FindWindowA("TKorvanMain", nullptr)) {
        MessageBoxA(nullptr, texts::AppTitle, texts::HelloCaption, MB_OK);
        return 0;
    }
    com_init com;
    TApplication application;
    UseProgramResources(application);
    try {
        auto* main = new TKorvanMain(&application);
        application.SetMainForm(main);
        main->FormShow(main);
    } catch (...) {
        application.HandleException();
        return 1;
    }
    application.Run();
    return 0;
}

// No exception leaves a handler, so terminate means a defect: end at once.
// Replacing the runtime's verbose handler also keeps its name demangler out
// of the program, a seventh of its size.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
