#include "framework/graphics.h"

#include "framework/handles.h"
#include "framework/program_resources.h"
#include "framework/wide_text.h"

COLORREF ColorToRGB(TColor color) {
    if (color & 0x80000000u)
        return GetSysColor(static_cast<int>(color & 0xFF));
    return color;
}

int ScreenDpi() {
    const window_dc screen(nullptr);
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? dpi : 96;
}

int ScaleToDpi(int pixels96) {
    static const int dpi = ScreenDpi();
    return MulDiv(pixels96, dpi, 96);
}

RECT ScaledBounds(int left, int top, int width, int height) {
    const int x = ScaleToDpi(left);
    const int y = ScaleToDpi(top);
    return RECT{x, y, x + ScaleToDpi(width), y + ScaleToDpi(height)};
}

// The framework's default font: the Japanese UI font at 12 pixels.
TFont::TFont() : name_(ProgramResources().FontName), height_(-12), charset_(DEFAULT_CHARSET), color_(clWindowText) {}

TFont::TFont(const TFont& other)
    : name_(other.name_), height_(other.height_), charset_(other.charset_), color_(other.color_) {}

TFont& TFont::operator=(const TFont& other) {
    if (this != &other) {
        name_ = other.name_;
        height_ = other.height_;
        charset_ = other.charset_;
        color_ = other.color_;
        handle_.reset();
    }
    return *this;
}

void TFont::SetName(const std::string& name) {
    name_ = name;
    handle_.reset();
}

void TFont::SetHeight(int height) {
    height_ = height;
    handle_.reset();
}

void TFont::SetCharset(BYTE charset) {
    charset_ = charset;
    handle_.reset();
}

HFONT TFont::Handle() const {
    if (!handle_) {
        LOGFONTW font = {};
        font.lfHeight = ScaleToDpi(height_);
        font.lfWeight = FW_NORMAL;
        font.lfCharSet = charset_;
        font.lfQuality = DEFAULT_QUALITY;
        lstrcpynW(font.lfFaceName, WideText(name_).data(), LF_FACESIZE);
        handle_.reset(CreateFontIndirectW(&font));
    }
    return handle_.get();
}
