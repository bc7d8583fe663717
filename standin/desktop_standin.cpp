// The run command's stand-in for the shell's Active Desktop object, which
// under Wine refuses every wallpaper: its ApplyChanges puts the picture on
// Wine's desktop at once. The picture is decoded with the system's imaging
// codecs, drawn at the desktop's size as the style says (fill unless told
// otherwise), and handed to the desktop as the one kind Wine's desktop shows,
// a bitmap, centred. HTML pages are refused, as Windows since Vista does.
#include <windows.h>
#include <wininet.h>
#include <shlobj.h>
#include <wincodec.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

const CLSID kActiveDesktopClass = {0x75048700, 0xEF1F, 0x11D0, {0x98, 0x88, 0x00, 0x60, 0x97, 0xDE, 0xAC, 0xF9}};

LONG liveObjects = 0;
LONG serverLocks = 0;

template <typename T>
struct Ref {
    T* p = nullptr;
    ~Ref() {
        if (p)
            p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
};

bool EndsWithNoCase(const std::wstring& text, const wchar_t* end) {
    const std::size_t length = lstrlenW(end);
    return text.size() >= length && lstrcmpiW(text.c_str() + text.size() - length, end) == 0;
}

// The picture as 32-bit rows, top first.
HRESULT Decode(const std::wstring& path, UINT& width, UINT& height, std::vector<BYTE>& pixels) {
    Ref<IWICImagingFactory> factory;
    Ref<IWICBitmapDecoder> decoder;
    Ref<IWICBitmapFrameDecode> frame;
    Ref<IWICFormatConverter> converter;
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, reinterpret_cast<void**>(&factory));
    if (SUCCEEDED(result))
        result = factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                    WICDecodeMetadataCacheOnDemand, &decoder);
    if (SUCCEEDED(result))
        result = decoder->GetFrame(0, &frame);
    if (SUCCEEDED(result))
        result = factory->CreateFormatConverter(&converter);
    if (SUCCEEDED(result))
        result = converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0,
                                       WICBitmapPaletteTypeCustom);
    if (SUCCEEDED(result))
        result = converter->GetSize(&width, &height);
    if (SUCCEEDED(result)) {
        pixels.resize(static_cast<std::size_t>(width) * height * 4);
        result = converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels.size()), pixels.data());
    }
    return result;
}

// Draws the picture on a bitmap of the screen's size as the style says.
void Draw(HDC dc, int screenWidth, int screenHeight, DWORD style, int width, int height,
          const std::vector<BYTE>& pixels) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    RECT screen = {0, 0, screenWidth, screenHeight};
    FillRect(dc, &screen, GetSysColorBrush(COLOR_DESKTOP));
    SetStretchBltMode(dc, HALFTONE);
    const auto put = [&](int x, int y, int w, int h) {
        StretchDIBits(dc, x, y, w, h, 0, 0, width, height, pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    };
    if (style == WPSTYLE_TILE) {
        for (int y = 0; y < screenHeight; y += height)
            for (int x = 0; x < screenWidth; x += width)
                put(x, y, width, height);
        return;
    }
    if (style == WPSTYLE_STRETCH) {
        put(0, 0, screenWidth, screenHeight);
        return;
    }
    double scale = 1.0;
    const double across = static_cast<double>(screenWidth) / width;
    const double down = static_cast<double>(screenHeight) / height;
    if (style == WPSTYLE_KEEPASPECT)
        scale = across < down ? across : down;
    else if (style != WPSTYLE_CENTER)
        scale = across > down ? across : down;
    const int w = static_cast<int>(std::lround(width * scale));
    const int h = static_cast<int>(std::lround(height * scale));
    put((screenWidth - w) / 2, (screenHeight - h) / 2, w, h);
}

// Writes the drawing as a 24-bit bitmap file.
bool SaveBitmap(const std::wstring& path, HDC dc, HBITMAP bitmap, int width, int height) {
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<BYTE> bits(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
    if (!GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), bits.data(), reinterpret_cast<BITMAPINFO*>(&header),
                   DIB_RGB_COLORS))
        return false;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(out, &file, sizeof(file), &written, nullptr) &&
                    WriteFile(out, &header, sizeof(header), &written, nullptr) &&
                    WriteFile(out, bits.data(), static_cast<DWORD>(bits.size()), &written, nullptr);
    CloseHandle(out);
    return ok;
}

// Puts the picture on the desktop. Wine's desktop reads its wallpaper
// again when told the setting changed; the file name alternates so that it
// never keeps a picture it has read before.
HRESULT ShowOnDesktop(const std::wstring& picture, DWORD style) {
    UINT width = 0, height = 0;
    std::vector<BYTE> pixels;
    HRESULT result = Decode(picture, width, height, pixels);
    if (FAILED(result))
        return result;
    HWND desktop = GetDesktopWindow();
    RECT area;
    GetClientRect(desktop, &area);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, area.right, area.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    Draw(dc, area.right, area.bottom, style, static_cast<int>(width), static_cast<int>(height), pixels);
    SelectObject(dc, old);
    static int serial = 0;
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring file = std::wstring(folder) + L"yorunel-desktop-" + std::to_wstring(++serial % 2) + L".bmp";
    const bool saved = SaveBitmap(file, dc, bitmap, area.right, area.bottom);
    DeleteObject(bitmap);
    DeleteDC(dc);
    if (!saved)
        return HRESULT_FROM_WIN32(GetLastError());
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegSetValueExW(key, L"TileWallpaper", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"0"), 2 * sizeof(WCHAR));
        RegSetValueExW(key, L"WallpaperStyle", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"0"), 2 * sizeof(WCHAR));
        RegCloseKey(key);
    }
    if (!SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(file.c_str()), SPIF_UPDATEINIFILE))
        return HRESULT_FROM_WIN32(GetLastError());
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(desktop, WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    // Wine paints the desktop over its windows: they are painted again after it.
    RedrawWindow(desktop, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return S_OK;
}

class ActiveDesktop : public IActiveDesktop {
public:
    ActiveDesktop() { InterlockedIncrement(&liveObjects); }
    virtual ~ActiveDesktop() { InterlockedDecrement(&liveObjects); }

    STDMETHODIMP QueryInterface(REFIID iid, void** result) override {
        if (!result)
            return E_POINTER;
        *result = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IActiveDesktop))
            return E_NOINTERFACE;
        *result = static_cast<IActiveDesktop*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    STDMETHODIMP ApplyChanges(DWORD) override { return wallpaper_.empty() ? S_OK : ShowOnDesktop(wallpaper_, style_); }
    STDMETHODIMP GetWallpaper(PWSTR buffer, UINT size, DWORD) override {
        if (!buffer || size == 0)
            return E_INVALIDARG;
        lstrcpynW(buffer, wallpaper_.c_str(), static_cast<int>(size));
        return S_OK;
    }
    STDMETHODIMP SetWallpaper(PCWSTR path, DWORD) override {
        if (!path)
            return E_INVALIDARG;
        // The shell shows no pages on the desktop since Windows Vista.
        if (EndsWithNoCase(path, L".htm") || EndsWithNoCase(path, L".html"))
            return HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED);
        wallpaper_ = path;
        return S_OK;
    }
    STDMETHODIMP GetWallpaperOptions(LPWALLPAPEROPT options, DWORD) override {
        if (!options)
            return E_INVALIDARG;
        options->dwStyle = style_;
        return S_OK;
    }
    STDMETHODIMP SetWallpaperOptions(LPCWALLPAPEROPT options, DWORD) override {
        if (!options || options->dwStyle > WPSTYLE_SPAN)
            return E_INVALIDARG;
        style_ = options->dwStyle;
        return S_OK;
    }
    STDMETHODIMP GetPattern(PWSTR, UINT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetPattern(PCWSTR, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemOptions(LPCOMPONENTSOPT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetDesktopItemOptions(LPCCOMPONENTSOPT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP AddDesktopItem(LPCCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP AddDesktopItemWithUI(HWND, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP ModifyDesktopItem(LPCCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP RemoveDesktopItem(LPCCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemCount(int*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItem(int, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemByID(ULONG_PTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GenerateDesktopItemHtml(PCWSTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP AddUrl(HWND, PCWSTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemBySource(PCWSTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }

private:
    LONG references_ = 1;
    std::wstring wallpaper_;
    DWORD style_ = WPSTYLE_CROPTOFIT;
};

class Factory : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** result) override {
        if (!result)
            return E_POINTER;
        *result = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory))
            return E_NOINTERFACE;
        *result = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    // Static: its references only keep the server loaded.
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&serverLocks) + 1); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(InterlockedDecrement(&serverLocks) + 1); }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** result) override {
        if (!result)
            return E_POINTER;
        *result = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto* object = new ActiveDesktop();
        const HRESULT queried = object->QueryInterface(iid, result);
        object->Release();
        return queried;
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock)
            InterlockedIncrement(&serverLocks);
        else
            InterlockedDecrement(&serverLocks);
        return S_OK;
    }
};

Factory factory;

}  // namespace

extern "C" HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    if (!IsEqualCLSID(clsid, kActiveDesktopClass))
        return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(iid, result);
}

extern "C" HRESULT STDMETHODCALLTYPE DllCanUnloadNow() {
    return liveObjects == 0 && serverLocks == 0 ? S_OK : S_FALSE;
}
