// Colours and fonts as the program's layouts give them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/handles.h"

// 0x00BBGGRR for a plain colour, 0x80000000 plus an index for a system colour.
using TColor = std::uint32_t;
constexpr TColor clBlack = 0x00000000;
constexpr TColor clRed = 0x000000FF;
constexpr TColor clBlue = 0x00FF0000;
constexpr TColor clOlive = 0x00008080;
constexpr TColor clWindow = 0x80000005;
constexpr TColor clWindowText = 0x80000008;
constexpr TColor clBtnFace = 0x8000000F;
constexpr TColor clInfoText = 0x80000017;
constexpr TColor clInfoBk = 0x80000018;
constexpr TColor clHotLight = 0x8000001A;

COLORREF ColorToRGB(TColor color);

// Screen DPI and 96-DPI pixel scaling of every layout.
int ScreenDpi();
int ScaleToDpi(int pixels96);
// A layout rectangle given in 96-DPI pixels as left, top, width, height.
RECT ScaledBounds(int left, int top, int width, int height);

// A logical font; the GDI font is made on first use and after every change.
class TFont {
public:
    TFont();
    TFont(const TFont& other);
    TFont& operator=(const TFont& other);

    const std::string& Name() const { return name_; }
    // Negative: character height in 96-DPI pixels, as the layouts give it.
    int Height() const { return height_; }
    BYTE Charset() const { return charset_; }
    TColor Color() const { return color_; }
    void SetName(const std::string& name);
    void SetHeight(int height);
    void SetCharset(BYTE charset);
    void SetColor(TColor color) { color_ = color; }
    // The GDI font, owned by this object.
    HFONT Handle() const;

private:
    std::string name_;
    int height_;
    BYTE charset_;
    TColor color_;
    mutable unique_hfont handle_;
};
