// The wallpaper list of the tray menu, its rotation, and the Active Desktop
// object that sets a wallpaper.
#include <windows.h>
// IActiveDesktop is declared only with the Internet definitions.
#include <wininet.h>
#include <shlobj.h>

#include "app/korvan_main.h"
#include "framework/failure.h"
#include "framework/handles.h"
#include "framework/wide_text.h"
#include "portable/wallpaper_rules.h"
#include "resources/texts.h"

namespace {

const CLSID kActiveDesktopClass = {0x75048700, 0xEF1F, 0x11D0, {0x98, 0x88, 0x00, 0x60, 0x97, 0xDE, 0xAC, 0xF9}};
const IID kActiveDesktopInterface = {0xF490EB00, 0x1240, 0x11D1, {0x98, 0x88, 0x00, 0x60, 0x97, 0xDE, 0xAC, 0xF9}};
// In-process server or local server.
constexpr DWORD kServerContext = 5;
// Save, regenerate the HTML desktop and refresh.
constexpr DWORD kApplyAll = 7;

// The text of a failed COM call: the system's text, else "OLE エラー <code>".
std::string OleErrorMessage(HRESULT result) {
    const std::string system = SysErrorMessage(static_cast<unsigned long>(result));
    return system.empty() ? FormatText(texts::OleError, static_cast<unsigned>(result)) : system;
}

}  // namespace

void TKorvanMain::BuildWallpaperMenu() {
    N4->Clear();
    WIN32_FIND_DATAA found;
    // Every entry, whatever its attributes: folders named like pictures too.
    unique_find search(FindFirstFileA(WallpaperSearchPattern(WallPaperPath).c_str(), &found));
    if (!search)
        return;
    do {
        if (IsWallpaperFile(found.cFileName) && IsFaithfulAnsiName(found.cFileName))
            N4->Add(found.cFileName, [this](TComponent* s) { NewItemClick(s); });
    } while (FindNextFileA(search.get(), &found));
}

void TKorvanMain::NewItemClick(TComponent* Sender) {
    const auto* item = static_cast<TMenuItem*>(Sender);
    ApplyWallpaper(WallpaperMenuPath(WallPaperPath, item->Caption));
}

void TKorvanMain::AdvanceWallpaper() {
    if (N4->Count() == 0)
        return;
    WallpaperIndex = NextWallpaperIndex(WallpaperIndex, N4->Count());
    ApplyWallpaper(WallpaperRotationPath(WallPaperPath, N4->Items(WallpaperIndex)->Caption));
}

void TKorvanMain::Timer1Timer(TComponent*) {
    if (CountWallpaperMinute(MinuteCount, Time))
        AdvanceWallpaper();
}

void TKorvanMain::ApplyWallpaper(const std::string& Path) {
    com_ptr<IUnknown> unknown;
    const HRESULT created =
        CoCreateInstance(kActiveDesktopClass, nullptr, kServerContext, IID_IUnknown, unknown.put_void());
    if (FAILED(created))
        throw EFailure(OleErrorMessage(created));
    com_ptr<IActiveDesktop> desktop;
    if (FAILED(unknown.query_to(kActiveDesktopInterface, desktop)))
        throw EFailure(texts::InterfaceNotSupported);
    // A longer path is cut to fit the buffer. The ANSI search gave the
    // name: the ANSI code page reads it.
    WCHAR path[MAX_PATH] = {};
    lstrcpynW(path, WideText(Path, CP_ACP).data(), MAX_PATH);
    // Refused by a policy, for a removed drive, or for an HTML page where the
    // shell no longer shows them: told as the other failures are.
    HRESULT result = desktop->SetWallpaper(path, 0);
    if (SUCCEEDED(result))
        result = desktop->ApplyChanges(kApplyAll);
    if (FAILED(result))
        throw EFailure(OleErrorMessage(result));
}
