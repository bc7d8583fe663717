// A line of text without a window of its own, drawn by its parent, sized to
// its caption unless told otherwise.
#pragma once

#include <string>

#include "framework/graphic_control.h"
#include "framework/graphics.h"

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    const TFont& Font() const { return font_; }
    // Copies the font's attributes.
    void SetFont(const TFont& font);
    void SetFontColor(TColor color);
    // The background, unless the label is transparent.
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);

protected:
    void Paint(HDC dc) override;
    // Sizes the label to its caption when AutoSize is on.
    void AdjustBounds();

private:
    std::string caption_;
    TFont font_;
    // The framework's windows are painted in the button face colour.
    TColor color_ = clBtnFace;
    bool transparent_ = false;
    bool autoSize_ = true;
};
