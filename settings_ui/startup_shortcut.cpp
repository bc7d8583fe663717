#include "settings_ui/startup_shortcut.h"

#include <shlobj.h>

#include "framework/handles.h"

namespace {

const WCHAR kPathFormat[] = L"%s\\%s";
const WCHAR kOwnName[] = L"Yorunel.lnk";
// Task Manager's switch for each entry of the Startup folder, by file name.
const char kApproved[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder";

com_ptr<IShellLinkW> NewLink(HRESULT& result) noexcept {
    com_ptr<IShellLinkW> link;
    result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void());
    return link;
}

// True when the shortcut file starts the program.
bool PointsAt(const WCHAR* file, const WCHAR* program) noexcept {
    HRESULT result;
    const com_ptr<IShellLinkW> link = NewLink(result);
    com_ptr<IPersistFile> persist;
    WCHAR target[MAX_PATH] = {};
    return SUCCEEDED(result) && SUCCEEDED(link.query_to(IID_IPersistFile, persist)) &&
           SUCCEEDED(persist->Load(file, STGM_READ)) && link->GetPath(target, MAX_PATH, nullptr, 0) == S_OK &&
           lstrcmpiW(target, program) == 0;
}

// Task Manager marks a disabled entry with a value whose first byte is 3.
bool Disabled(HKEY key, const WCHAR* name) {
    BYTE state[12] = {};
    DWORD size = sizeof(state);
    const LONG read = RegQueryValueExW(key, name, nullptr, nullptr, state, &size);
    return (read == ERROR_SUCCESS || read == ERROR_MORE_DATA) && size > 0 && state[0] == 3;
}

unique_hkey OpenApproved(REGSAM access) {
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_CURRENT_USER, kApproved, 0, access, &key);
    return unique_hkey(key);
}

// The user's Startup folder into path, made where it is missing.
HRESULT StartupFolder(WCHAR (&path)[MAX_PATH]) {
    WCHAR* folder = nullptr;
    const HRESULT found = SHGetKnownFolderPath(FOLDERID_Startup, KF_FLAG_CREATE, nullptr, &folder);
    if (SUCCEEDED(found))
        lstrcpynW(path, folder, MAX_PATH);
    CoTaskMemFree(folder);
    return found;
}

}  // namespace

TStartupShortcut::TStartupShortcut() noexcept : folderFound_(StartupFolder(folder_)) {
    GetModuleFileNameW(nullptr, program_, MAX_PATH);
}

bool TStartupShortcut::Enabled() const noexcept {
    bool enabled = false;
    Scan(false, false, enabled);
    return enabled;
}

HRESULT TStartupShortcut::SetEnabled(bool enable) const noexcept {
    bool enabled = false;
    return Scan(true, enable, enabled);
}

HRESULT TStartupShortcut::Scan(bool change, bool enable, bool& enabled) const noexcept {
    if (FAILED(folderFound_))
        return folderFound_;
    const unique_hkey approved = OpenApproved(change ? KEY_QUERY_VALUE | KEY_SET_VALUE : KEY_QUERY_VALUE);
    LONG refused = ERROR_SUCCESS;
    bool found = false;
    bool taken = false;
    // The folder and a file name of the longest each.
    WCHAR path[2 * MAX_PATH];
    wsprintfW(path, kPathFormat, folder_, L"*.lnk");
    WIN32_FIND_DATAW entry;
    const unique_find search(FindFirstFileExW(path, FindExInfoStandard, &entry, FindExSearchNameMatch, nullptr, 0));
    for (bool more = static_cast<bool>(search); more; more = FindNextFileW(search.get(), &entry)) {
        wsprintfW(path, kPathFormat, folder_, entry.cFileName);
        // A file of our shortcut's name that does not start this program is the user's: it stays.
        taken = taken || lstrcmpiW(entry.cFileName, kOwnName) == 0;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !PointsAt(path, program_))
            continue;
        found = true;
        const bool disabled = Disabled(approved.get(), entry.cFileName);
        enabled = enabled || !disabled;
        LONG result = ERROR_SUCCESS;
        if (change && !enable && !DeleteFileW(path))
            result = static_cast<LONG>(GetLastError());
        // Without its mark the entry is enabled, as one new to Task Manager is.
        if (change && enable && disabled)
            result = RegDeleteValueW(approved.get(), entry.cFileName);
        if (refused == ERROR_SUCCESS)
            refused = result;
    }
    if (refused != ERROR_SUCCESS || !change || !enable || found)
        return HRESULT_FROM_WIN32(refused);
    return taken ? HRESULT_FROM_WIN32(ERROR_FILE_EXISTS) : Create();
}

HRESULT TStartupShortcut::Create() const noexcept {
    HRESULT result;
    const com_ptr<IShellLinkW> link = NewLink(result);
    com_ptr<IPersistFile> persist;
    // Started in its own folder, as a double click in Explorer starts it.
    WCHAR folder[MAX_PATH] = {};
    WCHAR* name = nullptr;
    GetFullPathNameW(program_, MAX_PATH, folder, &name);
    // Its folder without the separator, but for a drive's root.
    if (name)
        name[name - folder > 3 ? -1 : 0] = 0;
    WCHAR path[MAX_PATH + 16];
    wsprintfW(path, kPathFormat, folder_, kOwnName);
    if (SUCCEEDED(result))
        result = link->SetPath(program_);
    if (SUCCEEDED(result))
        result = link->SetWorkingDirectory(folder);
    if (SUCCEEDED(result))
        result = link.query_to(IID_IPersistFile, persist);
    if (SUCCEEDED(result))
        result = persist->Save(path, TRUE);
    return result;
}
