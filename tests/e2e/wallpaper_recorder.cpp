// A stand-in for the shell's Active Desktop object, registered for its class
// in the test prefix: it appends every SetWallpaperOptions, SetWallpaper and
// ApplyChanges it gets, and its own release, to the file named by
// YORUNEL_WALLPAPER_LOG. A second class stands in for Windows 8's wallpaper
// object: it reports two monitors side by side, 1024 x 768 each, and logs
// its SetPosition and SetWallpaper calls (not its questions or release).
//
// YORUNEL_WALLPAPER_FAIL makes it fail: "create:<hex HRESULT>[:<times>]"
// fails the object's creation with that code, "interface[:<times>]" creates
// an object without IActiveDesktop, "set:<hex HRESULT>[:<times>]" and
// "apply:<hex HRESULT>[:<times>]" create one whose SetWallpaper or
// ApplyChanges answers that code; <times> limits it to the first creations.
// YORUNEL_WALLPAPER_FAIL_NEXT names a file: while it is there, the next
// creation takes it away and fails as the setting it holds says, once.
// YORUNEL_RECORDER_ERROR_MODE, when set, adds the program's error mode
// ("ErrorMode <n>") after each ApplyChanges. YORUNEL_WALLPAPER_BLOCK names a
// file: while it is there, SetWallpaper blocks after logging its line, as a
// shell's object that takes seconds does (for a minute at most).
//
// The interface table is written out from the documented order, not taken
// from the program's headers, so a mistaken header would show here.
#include <windows.h>

#include <climits>
#include <cstdlib>
#include <string>

namespace {

const CLSID kActiveDesktopClass = {0x75048700, 0xEF1F, 0x11D0, {0x98, 0x88, 0x00, 0x60, 0x97, 0xDE, 0xAC, 0xF9}};
const IID kActiveDesktopInterface = {0xF490EB00, 0x1240, 0x11D1, {0x98, 0x88, 0x00, 0x60, 0x97, 0xDE, 0xAC, 0xF9}};
const CLSID kDesktopWallpaperClass = {0xC2CF3110, 0x460E, 0x4FC1, {0xB9, 0xD0, 0x8A, 0x1C, 0x0C, 0x9C, 0xC4, 0xBD}};
const IID kDesktopWallpaperInterface = {0xB92B56A9, 0x8B55, 0x4E14, {0x9A, 0x89, 0x01, 0x99, 0xBB, 0xB6, 0xF9, 0x3B}};

LONG liveObjects = 0;
LONG serverLocks = 0;
LONG failuresLeft = -1;

std::string Environment(const char* name) {
    char buffer[2048];
    const DWORD length = GetEnvironmentVariableA(name, buffer, sizeof(buffer));
    return length > 0 && length < sizeof(buffer) ? std::string(buffer, length) : std::string();
}

void Log(const std::string& line) {
    const std::string path = Environment("YORUNEL_WALLPAPER_LOG");
    if (path.empty())
        return;
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

std::string Utf8(const WCHAR* text) {
    if (!text)
        return "(null)";
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
    result.resize(result.size() - 1);
    return result;
}

struct Failure {
    std::string kind;
    HRESULT code = S_OK;
};

// A setting's kind and code; rest is what follows them.
Failure ParseFailure(const std::string& setting, std::string& rest) {
    Failure failure;
    const std::size_t colon = setting.find(':');
    failure.kind = setting.substr(0, colon);
    rest = colon == std::string::npos ? std::string() : setting.substr(colon + 1);
    if (failure.kind != "interface") {
        const std::size_t next = rest.find(':');
        failure.code = static_cast<HRESULT>(std::strtoul(rest.substr(0, next).c_str(), nullptr, 16));
        rest = next == std::string::npos ? std::string() : rest.substr(next + 1);
    }
    return failure;
}

// The failure a file of YORUNEL_WALLPAPER_FAIL_NEXT asks for, taken once.
Failure TakeNextFailure() {
    const std::string path = Environment("YORUNEL_WALLPAPER_FAIL_NEXT");
    if (path.empty())
        return Failure();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | DELETE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return Failure();
    char setting[256] = {};
    DWORD got = 0;
    ReadFile(file, setting, sizeof(setting) - 1, &got, nullptr);
    CloseHandle(file);
    std::string rest;
    return ParseFailure(std::string(setting, got), rest);
}

// The configured failure while it still applies; an empty kind otherwise.
Failure CurrentFailure() {
    if (Failure next = TakeNextFailure(); !next.kind.empty())
        return next;
    const std::string setting = Environment("YORUNEL_WALLPAPER_FAIL");
    if (setting.empty())
        return Failure();
    std::string rest;
    Failure failure = ParseFailure(setting, rest);
    if (failuresLeft < 0)
        failuresLeft = rest.empty() ? LONG_MAX : std::strtol(rest.c_str(), nullptr, 10);
    if (failuresLeft == 0)
        return Failure();
    --failuresLeft;
    return failure;
}

struct ActiveDesktop;

template <typename... Args>
HRESULT STDMETHODCALLTYPE NotImplemented(ActiveDesktop*, Args...) {
    return E_NOTIMPL;
}

struct ActiveDesktopTable {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(ActiveDesktop*, REFIID, void**);
    ULONG(STDMETHODCALLTYPE* AddRef)(ActiveDesktop*);
    ULONG(STDMETHODCALLTYPE* Release)(ActiveDesktop*);
    HRESULT(STDMETHODCALLTYPE* ApplyChanges)(ActiveDesktop*, DWORD);
    HRESULT(STDMETHODCALLTYPE* GetWallpaper)(ActiveDesktop*, PWSTR, UINT, DWORD);
    HRESULT(STDMETHODCALLTYPE* SetWallpaper)(ActiveDesktop*, PCWSTR, DWORD);
    HRESULT(STDMETHODCALLTYPE* GetWallpaperOptions)(ActiveDesktop*, void*, DWORD);
    HRESULT(STDMETHODCALLTYPE* SetWallpaperOptions)(ActiveDesktop*, const void*, DWORD);
    HRESULT(STDMETHODCALLTYPE* GetPattern)(ActiveDesktop*, PWSTR, UINT, DWORD);
    HRESULT(STDMETHODCALLTYPE* SetPattern)(ActiveDesktop*, PCWSTR, DWORD);
    HRESULT(STDMETHODCALLTYPE* GetDesktopItemOptions)(ActiveDesktop*, void*, DWORD);
    HRESULT(STDMETHODCALLTYPE* SetDesktopItemOptions)(ActiveDesktop*, const void*, DWORD);
    HRESULT(STDMETHODCALLTYPE* AddDesktopItem)(ActiveDesktop*, const void*, DWORD);
    HRESULT(STDMETHODCALLTYPE* AddDesktopItemWithUI)(ActiveDesktop*, HWND, void*, DWORD);
    HRESULT(STDMETHODCALLTYPE* ModifyDesktopItem)(ActiveDesktop*, const void*, DWORD);
    HRESULT(STDMETHODCALLTYPE* RemoveDesktopItem)(ActiveDesktop*, const void*, DWORD);
    HRESULT(STDMETHODCALLTYPE* GetDesktopItemCount)(ActiveDesktop*, int*, DWORD);
    HRESULT(STDMETHODCALLTYPE* GetDesktopItem)(ActiveDesktop*, int, void*, DWORD);
    HRESULT(STDMETHODCALLTYPE* GetDesktopItemByID)(ActiveDesktop*, ULONG_PTR, void*, DWORD);
    HRESULT(STDMETHODCALLTYPE* GenerateDesktopItemHtml)(ActiveDesktop*, PCWSTR, void*, DWORD);
    HRESULT(STDMETHODCALLTYPE* AddUrl)(ActiveDesktop*, HWND, PCWSTR, void*, DWORD);
    HRESULT(STDMETHODCALLTYPE* GetDesktopItemBySource)(ActiveDesktop*, PCWSTR, void*, DWORD);
};

struct ActiveDesktop {
    const ActiveDesktopTable* table;
    LONG references;
    bool offersInterface;
    HRESULT setResult;
    HRESULT applyResult;
};

HRESULT STDMETHODCALLTYPE DesktopQueryInterface(ActiveDesktop* self, REFIID iid, void** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || (self->offersInterface && IsEqualIID(iid, kActiveDesktopInterface))) {
        *result = self;
        InterlockedIncrement(&self->references);
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DesktopAddRef(ActiveDesktop* self) {
    return static_cast<ULONG>(InterlockedIncrement(&self->references));
}

ULONG STDMETHODCALLTYPE DesktopRelease(ActiveDesktop* self) {
    const LONG left = InterlockedDecrement(&self->references);
    if (left == 0) {
        Log("Released");
        delete self;
        InterlockedDecrement(&liveObjects);
    }
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE DesktopApplyChanges(ActiveDesktop* self, DWORD flags) {
    Log("ApplyChanges " + std::to_string(flags));
    // Asked for: a library loaded by its bare name from inside the program,
    // to see where the program lets libraries come from.
    const std::string library = Environment("YORUNEL_RECORDER_LOAD");
    if (!library.empty()) {
        HMODULE module = LoadLibraryA(library.c_str());
        Log((module ? "Loaded " : "NotLoaded ") + library);
        if (module)
            FreeLibrary(module);
    }
    // Asked for: the error mode the program runs with.
    if (!Environment("YORUNEL_RECORDER_ERROR_MODE").empty())
        Log("ErrorMode " + std::to_string(GetErrorMode()));
    return self->applyResult;
}

HRESULT STDMETHODCALLTYPE DesktopSetWallpaper(ActiveDesktop* self, PCWSTR path, DWORD reserved) {
    Log("SetWallpaper " + Utf8(path));
    const std::string block = Environment("YORUNEL_WALLPAPER_BLOCK");
    for (int wait = 0; !block.empty() && wait < 6000 && GetFileAttributesA(block.c_str()) != INVALID_FILE_ATTRIBUTES;
         ++wait)
        Sleep(10);
    // Only ever 0; anything else is worth a line of its own.
    if (reserved != 0)
        Log("SetWallpaper reserved " + std::to_string(reserved));
    return self->setResult;
}

HRESULT STDMETHODCALLTYPE DesktopSetWallpaperOptions(ActiveDesktop*, const void* options, DWORD) {
    // WALLPAPEROPT: its size, then the style.
    Log("SetWallpaperOptions " + std::to_string(static_cast<const DWORD*>(options)[1]));
    return S_OK;
}

const ActiveDesktopTable kDesktopTable = {
    DesktopQueryInterface,
    DesktopAddRef,
    DesktopRelease,
    DesktopApplyChanges,
    NotImplemented<PWSTR, UINT, DWORD>,
    DesktopSetWallpaper,
    NotImplemented<void*, DWORD>,
    DesktopSetWallpaperOptions,
    NotImplemented<PWSTR, UINT, DWORD>,
    NotImplemented<PCWSTR, DWORD>,
    NotImplemented<void*, DWORD>,
    NotImplemented<const void*, DWORD>,
    NotImplemented<const void*, DWORD>,
    NotImplemented<HWND, void*, DWORD>,
    NotImplemented<const void*, DWORD>,
    NotImplemented<const void*, DWORD>,
    NotImplemented<int*, DWORD>,
    NotImplemented<int, void*, DWORD>,
    NotImplemented<ULONG_PTR, void*, DWORD>,
    NotImplemented<PCWSTR, void*, DWORD>,
    NotImplemented<HWND, PCWSTR, void*, DWORD>,
    NotImplemented<PCWSTR, void*, DWORD>,
};

struct Monitors;

template <typename... Args>
HRESULT STDMETHODCALLTYPE MonitorsNotImplemented(Monitors*, Args...) {
    return E_NOTIMPL;
}

// The documented order of IDesktopWallpaper's methods.
struct MonitorsTable {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(Monitors*, REFIID, void**);
    ULONG(STDMETHODCALLTYPE* AddRef)(Monitors*);
    ULONG(STDMETHODCALLTYPE* Release)(Monitors*);
    HRESULT(STDMETHODCALLTYPE* SetWallpaper)(Monitors*, PCWSTR, PCWSTR);
    HRESULT(STDMETHODCALLTYPE* GetWallpaper)(Monitors*, PCWSTR, PWSTR*);
    HRESULT(STDMETHODCALLTYPE* GetMonitorDevicePathAt)(Monitors*, UINT, PWSTR*);
    HRESULT(STDMETHODCALLTYPE* GetMonitorDevicePathCount)(Monitors*, UINT*);
    HRESULT(STDMETHODCALLTYPE* GetMonitorRECT)(Monitors*, PCWSTR, RECT*);
    HRESULT(STDMETHODCALLTYPE* SetBackgroundColor)(Monitors*, COLORREF);
    HRESULT(STDMETHODCALLTYPE* GetBackgroundColor)(Monitors*, COLORREF*);
    HRESULT(STDMETHODCALLTYPE* SetPosition)(Monitors*, int);
    HRESULT(STDMETHODCALLTYPE* GetPosition)(Monitors*, int*);
    HRESULT(STDMETHODCALLTYPE* SetSlideshow)(Monitors*, void*);
    HRESULT(STDMETHODCALLTYPE* GetSlideshow)(Monitors*, void**);
    HRESULT(STDMETHODCALLTYPE* SetSlideshowOptions)(Monitors*, int, UINT);
    HRESULT(STDMETHODCALLTYPE* GetSlideshowOptions)(Monitors*, int*, UINT*);
    HRESULT(STDMETHODCALLTYPE* AdvanceSlideshow)(Monitors*, PCWSTR, int);
    HRESULT(STDMETHODCALLTYPE* GetStatus)(Monitors*, int*);
    HRESULT(STDMETHODCALLTYPE* Enable)(Monitors*, BOOL);
};

struct Monitors {
    const MonitorsTable* table;
    LONG references;
};

HRESULT STDMETHODCALLTYPE MonitorsQueryInterface(Monitors* self, REFIID iid, void** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, kDesktopWallpaperInterface))
        return E_NOINTERFACE;
    *result = self;
    InterlockedIncrement(&self->references);
    return S_OK;
}

ULONG STDMETHODCALLTYPE MonitorsAddRef(Monitors* self) {
    return static_cast<ULONG>(InterlockedIncrement(&self->references));
}

ULONG STDMETHODCALLTYPE MonitorsRelease(Monitors* self) {
    const LONG left = InterlockedDecrement(&self->references);
    if (left == 0) {
        delete self;
        InterlockedDecrement(&liveObjects);
    }
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE MonitorsSetWallpaper(Monitors*, PCWSTR monitor, PCWSTR path) {
    Log("SetWallpaper " + Utf8(monitor) + " " + Utf8(path));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MonitorsPathAt(Monitors*, UINT index, PWSTR* monitor) {
    if (index > 1)
        return E_INVALIDARG;
    *monitor = static_cast<PWSTR>(CoTaskMemAlloc(sizeof(L"MONITOR1")));
    lstrcpyW(*monitor, index == 0 ? L"MONITOR1" : L"MONITOR2");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MonitorsCount(Monitors*, UINT* count) {
    *count = 2;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MonitorsRect(Monitors*, PCWSTR monitor, RECT* area) {
    const LONG left = lstrcmpW(monitor, L"MONITOR1") == 0 ? 0 : 1024;
    *area = {left, 0, left + 1024, 768};
    return S_OK;
}

HRESULT STDMETHODCALLTYPE MonitorsSetPosition(Monitors*, int position) {
    Log("SetPosition " + std::to_string(position));
    return S_OK;
}

const MonitorsTable kMonitorsTable = {
    MonitorsQueryInterface,
    MonitorsAddRef,
    MonitorsRelease,
    MonitorsSetWallpaper,
    MonitorsNotImplemented<PCWSTR, PWSTR*>,
    MonitorsPathAt,
    MonitorsCount,
    MonitorsRect,
    MonitorsNotImplemented<COLORREF>,
    MonitorsNotImplemented<COLORREF*>,
    MonitorsSetPosition,
    MonitorsNotImplemented<int*>,
    MonitorsNotImplemented<void*>,
    MonitorsNotImplemented<void**>,
    MonitorsNotImplemented<int, UINT>,
    MonitorsNotImplemented<int*, UINT*>,
    MonitorsNotImplemented<PCWSTR, int>,
    MonitorsNotImplemented<int*>,
    MonitorsNotImplemented<BOOL>,
};

struct Factory;

struct FactoryTable {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(Factory*, REFIID, void**);
    ULONG(STDMETHODCALLTYPE* AddRef)(Factory*);
    ULONG(STDMETHODCALLTYPE* Release)(Factory*);
    HRESULT(STDMETHODCALLTYPE* CreateInstance)(Factory*, IUnknown*, REFIID, void**);
    HRESULT(STDMETHODCALLTYPE* LockServer)(Factory*, BOOL);
};

struct Factory {
    const FactoryTable* table;
};

HRESULT STDMETHODCALLTYPE FactoryQueryInterface(Factory* self, REFIID iid, void** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory))
        return E_NOINTERFACE;
    *result = self;
    InterlockedIncrement(&serverLocks);
    return S_OK;
}

// The factory is static: its references only keep the server loaded.
ULONG STDMETHODCALLTYPE FactoryAddRef(Factory*) {
    return static_cast<ULONG>(InterlockedIncrement(&serverLocks) + 1);
}

ULONG STDMETHODCALLTYPE FactoryRelease(Factory*) {
    return static_cast<ULONG>(InterlockedDecrement(&serverLocks) + 1);
}

HRESULT STDMETHODCALLTYPE FactoryCreateInstance(Factory*, IUnknown* outer, REFIID iid, void** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    const Failure failure = CurrentFailure();
    if (failure.kind == "create")
        return failure.code;
    auto* object = new ActiveDesktop{&kDesktopTable, 1, failure.kind != "interface",
                                     failure.kind == "set" ? failure.code : S_OK,
                                     failure.kind == "apply" ? failure.code : S_OK};
    InterlockedIncrement(&liveObjects);
    const HRESULT queried = DesktopQueryInterface(object, iid, result);
    DesktopRelease(object);
    return queried;
}

HRESULT STDMETHODCALLTYPE MonitorsCreateInstance(Factory*, IUnknown* outer, REFIID iid, void** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    auto* object = new Monitors{&kMonitorsTable, 1};
    InterlockedIncrement(&liveObjects);
    const HRESULT queried = MonitorsQueryInterface(object, iid, result);
    MonitorsRelease(object);
    return queried;
}

HRESULT STDMETHODCALLTYPE FactoryLockServer(Factory*, BOOL lock) {
    if (lock)
        InterlockedIncrement(&serverLocks);
    else
        InterlockedDecrement(&serverLocks);
    return S_OK;
}

const FactoryTable kFactoryTable = {FactoryQueryInterface, FactoryAddRef, FactoryRelease, FactoryCreateInstance,
                                    FactoryLockServer};
const FactoryTable kMonitorsFactoryTable = {FactoryQueryInterface, FactoryAddRef, FactoryRelease,
                                            MonitorsCreateInstance, FactoryLockServer};
Factory factory = {&kFactoryTable};
Factory monitorsFactory = {&kMonitorsFactoryTable};

}  // namespace

extern "C" HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    if (IsEqualCLSID(clsid, kDesktopWallpaperClass))
        return FactoryQueryInterface(&monitorsFactory, iid, result);
    if (!IsEqualCLSID(clsid, kActiveDesktopClass))
        return CLASS_E_CLASSNOTAVAILABLE;
    return FactoryQueryInterface(&factory, iid, result);
}

extern "C" HRESULT STDMETHODCALLTYPE DllCanUnloadNow() {
    return liveObjects == 0 && serverLocks == 0 ? S_OK : S_FALSE;
}
