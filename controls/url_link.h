// A label that works as a hyperlink: highlighted while the pointer is over
// it, a pop-up beside the pointer showing the target, and a left press that
// asks the shell to open the target.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/form.h"
#include "framework/graphics.h"
#include "framework/label.h"

enum TURLtype : std::uint8_t { tpURL = 0, tpMAIL = 1 };

class TURLLink : public TLabel {
public:
    explicit TURLLink(TComponent* owner);
    ~TURLLink() override;

    // The pop-up, owned by the label.
    TForm* HintForm() const { return hintForm_.get(); }
    bool HintShown() const { return hintShown_; }
    TColor SavedFontColor() const { return savedFontColor_; }

    // tpURL opens Link unchanged, tpMAIL opens "mailto:" followed by Link.
    TURLtype URLType() const { return urlType_; }
    void SetURLType(TURLtype type);
    const std::string& Link() const { return link_; }
    void SetLink(const std::string& link);
    // The font colour while the pointer is over the label.
    TColor LinkColor() const { return linkColor_; }
    void SetLinkColor(TColor color);
    TColor HintFormColor() const { return hintFormColor_; }
    void SetHintFormColor(TColor color);
    // The pop-up's distance from the pointer, in pixels.
    int HintOffsetX() const { return hintOffsetX_; }
    void SetHintOffsetX(int offset);
    int HintOffsetY() const { return hintOffsetY_; }
    void SetHintOffsetY(int offset);
    bool EnableShowHint() const { return enableShowHint_; }
    void SetEnableShowHint(bool enable);
    // The pop-up's font, owned by the label; the writer copies the attributes.
    const TFont& HintFormFont() const { return *hintFormFont_; }
    void SetHintFormFont(const TFont& font);

protected:
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    void HideHint();

    std::unique_ptr<TForm> hintForm_;
    bool hintShown_;
    TURLtype urlType_;
    std::string link_;
    TColor savedFontColor_ = clBlack;
    TColor linkColor_ = clBlack;
    TColor hintFormColor_ = clBlack;
    int hintOffsetX_ = 0;
    int hintOffsetY_ = 0;
    bool enableShowHint_ = false;
    std::unique_ptr<TFont> hintFormFont_;
};
