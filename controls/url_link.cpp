#include "controls/url_link.h"

#include <shellapi.h>

#include "framework/application.h"
#include "framework/handles.h"
#include "framework/wide_text.h"

namespace {

// The pop-up draws the text it was shown with, its caption, so that it
// survives being painted again.
void PaintHint(TComponent* sender, HDC dc) {
    auto* hint = static_cast<TForm*>(sender);
    const std::vector<WCHAR> text = WideText(hint->Caption());
    const selected_object font(dc, hint->Font.Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(hint->Font.Color()));
    TextOutW(dc, 2, 2, text.data(), lstrlenW(text.data()));
}

}  // namespace

TURLLink::TURLLink(TComponent* owner) : TLabel(owner), hintShown_(false), urlType_(tpURL), link_("http://") {
    SetCursor(crHandPoint);
    SetFontColor(clBlue);
    SetLinkColor(clRed);
    SetHintOffsetX(15);
    SetHintOffsetY(15);
    SetHintFormColor(clInfoBk);
    SetEnableShowHint(true);
    hintForm_ = std::make_unique<TForm>(nullptr);
    hintForm_->OnPaint = PaintHint;
    // Borderless and top-most; owned by the application's hidden window, as
    // every form is, so that it gets no task-bar button.
    hintForm_->CreateNew(WS_EX_TOPMOST, WS_POPUP, Application ? Application->Handle() : nullptr);
    hintFormFont_ = std::make_unique<TFont>();
}

TURLLink::~TURLLink() {
    hintForm_.reset();
    hintFormFont_.reset();
}

void TURLLink::SetURLType(TURLtype type) {
    if (Assign(urlType_, type))
        Repaint();
}

void TURLLink::SetLink(const std::string& link) {
    if (Assign(link_, link))
        Repaint();
}

void TURLLink::SetLinkColor(TColor color) {
    if (Assign(linkColor_, color))
        Repaint();
}

void TURLLink::SetHintFormColor(TColor color) {
    if (Assign(hintFormColor_, color))
        Repaint();
}

void TURLLink::SetHintOffsetX(int offset) {
    if (Assign(hintOffsetX_, offset))
        Repaint();
}

void TURLLink::SetHintOffsetY(int offset) {
    if (Assign(hintOffsetY_, offset))
        Repaint();
}

void TURLLink::SetEnableShowHint(bool enable) {
    if (Assign(enableShowHint_, enable))
        Repaint();
}

void TURLLink::SetHintFormFont(const TFont& font) {
    if (&font == hintFormFont_.get())
        return;
    *hintFormFont_ = font;
    Repaint();
}

void TURLLink::MouseEnter() {
    TLabel::MouseEnter();
    savedFontColor_ = Font().Color();
    SetFontColor(linkColor_);
    Repaint();
}

void TURLLink::MouseLeave() {
    TLabel::MouseLeave();
    SetFontColor(savedFontColor_);
    Repaint();
    HideHint();
}

void TURLLink::MouseMove(TShiftState, int, int) {
    if (!enableShowHint_ || hintShown_)
        return;
    POINT pointer;
    GetCursorPos(&pointer);
    TForm& hint = *hintForm_;
    hint.Color = hintFormColor_;
    hint.Font = *hintFormFont_;
    hint.SetCaption(link_);
    SIZE text = {};
    {
        const window_dc dc(hint.Handle());
        const selected_object font(dc.get(), hint.Font.Handle());
        const std::vector<WCHAR> link = WideText(link_);
        GetTextExtentPoint32W(dc.get(), link.data(), lstrlenW(link.data()), &text);
    }
    // No border: the outer size is the client size.
    SetWindowPos(hint.Handle(), HWND_TOPMOST, pointer.x + hintOffsetX_, pointer.y + hintOffsetY_, text.cx + 6,
                 text.cy + 3, SWP_NOACTIVATE);
    ShowWindow(hint.Handle(), SW_SHOWNA);
    // Draws Link at (2, 2) now.
    UpdateWindow(hint.Handle());
    hintShown_ = true;
}

void TURLLink::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    Repaint();
    TLabel::MouseDown(button, shift, x, y);
    if (button != mbLeft)
        return;
    const std::string target = urlType_ == tpMAIL ? "mailto:" + link_ : link_;
    ShellExecuteA(nullptr, "OPEN", target.c_str(), "", "", SW_SHOW);
    HideHint();
}

void TURLLink::HideHint() {
    if (!hintShown_)
        return;
    ShowWindow(hintForm_->Handle(), SW_HIDE);
    hintShown_ = false;
}
