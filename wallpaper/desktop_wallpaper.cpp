#include "wallpaper/desktop_wallpaper.h"

// IActiveDesktop is declared only with the Internet definitions.
#include <wininet.h>
#include <shlobj.h>

#include "framework/failure.h"
#include "framework/handles.h"
#include "framework/win10_api.h"
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

void Check(HRESULT result) {
    if (FAILED(result))
        throw EFailure(OleErrorMessage(result));
}

com_ptr<IDesktopWallpaper> MonitorsObject() {
    com_ptr<IDesktopWallpaper> object;
    CoCreateInstance(kClsidDesktopWallpaper, nullptr, kServerContext, kIidDesktopWallpaper, object.put_void());
    return object;
}

// The attached monitors' device paths and areas; a detached one has no area.
template <typename Each>
void ForEachMonitor(IDesktopWallpaper& object, Each each) {
    UINT count = 0;
    if (FAILED(object.GetMonitorDevicePathCount(&count)))
        return;
    for (UINT i = 0; i < count; ++i) {
        LPWSTR id = nullptr;
        RECT area;
        if (SUCCEEDED(object.GetMonitorDevicePathAt(i, &id)) && SUCCEEDED(object.GetMonitorRECT(id, &area)))
            each(id, area);
        CoTaskMemFree(id);
    }
}

void SetOnePicture(const std::u16string& path, int style) {
    com_ptr<IUnknown> unknown;
    Check(CoCreateInstance(kActiveDesktopClass, nullptr, kServerContext, IID_IUnknown, unknown.put_void()));
    com_ptr<IActiveDesktop> desktop;
    if (FAILED(unknown.query_to(kActiveDesktopInterface, desktop)))
        throw EFailure(texts::InterfaceNotSupported);
    if (style >= 0) {
        const WALLPAPEROPT options = {sizeof(options), static_cast<DWORD>(style)};
        desktop->SetWallpaperOptions(&options, 0);
    }
    // A longer path is cut to fit the buffer.
    WCHAR buffer[MAX_PATH] = {};
    lstrcpynW(buffer, WidePtr(path), MAX_PATH);
    // Refused by a policy, for a removed drive, or for an HTML page where the
    // shell no longer shows them: told as the other failures are.
    Check(desktop->SetWallpaper(buffer, 0));
    Check(desktop->ApplyChanges(kApplyAll));
}

}  // namespace

std::vector<RECT> WallpaperMonitors() {
    std::vector<RECT> areas;
    if (const com_ptr<IDesktopWallpaper> object = MonitorsObject())
        ForEachMonitor(*object.get(), [&](LPCWSTR, const RECT& area) { areas.push_back(area); });
    return areas;
}

void SetDesktopWallpaper(const TWallpaperPictures& pictures) {
    const com_ptr<IDesktopWallpaper> object = pictures.perMonitor ? MonitorsObject() : com_ptr<IDesktopWallpaper>();
    if (!object) {
        for (const std::u16string& path : pictures.paths)
            if (!path.empty())
                return SetOnePicture(path, pictures.style);
        return;
    }
    if (pictures.style >= 0)
        object->SetPosition(pictures.style);
    std::size_t monitor = 0;
    HRESULT result = S_OK;
    ForEachMonitor(*object.get(), [&](LPCWSTR id, const RECT&) {
        if (monitor < pictures.paths.size() && !pictures.paths[monitor].empty() && SUCCEEDED(result))
            result = object->SetWallpaper(id, WidePtr(pictures.paths[monitor]));
        ++monitor;
    });
    Check(result);
}
