#include "framework/label.h"

#include "framework/handles.h"
#include "framework/wide_text.h"

namespace {

constexpr UINT kTextFormat = DT_EXPANDTABS | DT_NOPREFIX;

}  // namespace

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    AdjustBounds();
}

void TLabel::SetCaption(const std::string& caption) {
    if (!Assign(caption_, caption))
        return;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetFont(const TFont& font) {
    font_ = font;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetFontColor(TColor color) {
    if (color == font_.Color())
        return;
    font_.SetColor(color);
    Invalidate();
}

void TLabel::SetColor(TColor color) {
    if (Assign(color_, color))
        Invalidate();
}

void TLabel::SetTransparent(bool transparent) {
    if (Assign(transparent_, transparent))
        Invalidate();
}

void TLabel::SetAutoSize(bool autoSize) {
    if (!Assign(autoSize_, autoSize))
        return;
    AdjustBounds();
}

void TLabel::AdjustBounds() {
    if (!autoSize_)
        return;
    RECT text = {};
    {
        const window_dc dc(nullptr);
        const selected_object font(dc.get(), font_.Handle());
        // An empty caption keeps the height of a line.
        const std::vector<WCHAR> measured = WideText(caption_.empty() ? std::string(" ") : caption_);
        DrawTextW(dc.get(), measured.data(), -1, &text, kTextFormat | DT_CALCRECT);
    }
    SetBounds(Left(), Top(), text.right, text.bottom);
}

void TLabel::Paint(HDC dc) {
    RECT area = {0, 0, Width(), Height()};
    if (!transparent_) {
        SetDCBrushColor(dc, ColorToRGB(color_));
        FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(font_.Color()));
    const selected_object font(dc, font_.Handle());
    DrawTextW(dc, WideText(caption_).data(), -1, &area, kTextFormat);
}
