#include "wallpaper/desktop_wallpaper.h"

#include <windows.h>
// IActiveDesktop is declared only with the Internet definitions.
#include <wininet.h>
#include <shlobj.h>

#include "framework/failure.h"
#include "framework/handles.h"
#include "resources/texts.h"
#include "wallpaper/utf16.h"

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

void SetDesktopWallpaper(const std::u16string& path) {
    com_ptr<IUnknown> unknown;
    const HRESULT created =
        CoCreateInstance(kActiveDesktopClass, nullptr, kServerContext, IID_IUnknown, unknown.put_void());
    if (FAILED(created))
        throw EFailure(OleErrorMessage(created));
    com_ptr<IActiveDesktop> desktop;
    if (FAILED(unknown.query_to(kActiveDesktopInterface, desktop)))
        throw EFailure(texts::InterfaceNotSupported);
    // A longer path is cut to fit the buffer.
    WCHAR buffer[MAX_PATH] = {};
    lstrcpynW(buffer, WidePtr(path), MAX_PATH);
    // Refused by a policy, for a removed drive, or for an HTML page where the
    // shell no longer shows them: told as the other failures are.
    HRESULT result = desktop->SetWallpaper(buffer, 0);
    if (SUCCEEDED(result))
        result = desktop->ApplyChanges(kApplyAll);
    if (FAILED(result))
        throw EFailure(OleErrorMessage(result));
}
