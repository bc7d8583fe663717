// The link label on a form, driven with real mouse input. What the shell is
// asked to open is seen through a recording program registered for the
// mailto and http schemes and for a file type of the tests.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "controls/url_link.h"
#include "framework/application.h"
#include "framework/form.h"
#include "framework/group_box.h"
#include "tests/support/screenshot_check.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

const char* const kFileType = kLinkFileType;

bool RecorderRunning() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    bool running = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !running; more = Process32Next(snapshot, &entry))
        running = lstrcmpiA(entry.szExeFile, "command_recorder.exe") == 0;
    CloseHandle(snapshot);
    return running;
}

POINT CursorPos() {
    POINT point;
    GetCursorPos(&point);
    return point;
}

// Moves the pointer as a mouse does and waits until the window under it has
// handled the movement.
void MoveMouse(POINT to) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((to.x * 65536LL + width - 1) / width);
    input.mi.dy = static_cast<LONG>((to.y * 65536LL + height - 1) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
    WaitUntil([&] {
        const POINT now = CursorPos();
        return now.x == to.x && now.y == to.y && HIWORD(GetQueueStatus(QS_INPUT)) == 0;
    });
}

void PressButton(DWORD down, DWORD up) {
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = down;
    inputs[1].mi.dwFlags = up;
    SendInput(2, inputs, sizeof(INPUT));
}

class TLinkForm : public TForm {
public:
    TLinkForm() : TForm(nullptr) {
        CreateForm(0, WS_POPUP | WS_CAPTION, 360, 160, "links", Application->Handle());
        SetWindowPos(Handle(), nullptr, 200, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
};

class URLLinkTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        logFolder_ = new TempFolder("links");
        log_ = logFolder_->File("opened.log");
        const char* recorder = std::getenv("YORUNEL_COMMAND_RECORDER");
        ASSERT_NE(recorder, nullptr) << "run through ctest";
        ASSERT_TRUE(RegisterLinkRecorder(WinPath(recorder), log_));
    }
    static void TearDownTestSuite() {
        delete logFolder_;
        logFolder_ = nullptr;
    }

    void SetUp() override {
        DeleteFileA(log_.c_str());
        MoveMouse(kAway);
        link_ = new TURLLink(&form_);
        TFont font;
        font.SetName("ＭＳ Ｐゴシック");
        font.SetCharset(SHIFTJIS_CHARSET);
        font.SetHeight(-12);
        font.SetColor(clBlue);
        link_->SetFont(font);
        TFont hintFont = font;
        hintFont.SetColor(clWindowText);
        link_->SetHintFormFont(hintFont);
        link_->SetCaption("メールしてね");
        link_->SetURLType(tpMAIL);
        link_->SetLink("someone@example.com");
        link_->SetBounds(20, 30, link_->Width(), link_->Height());
        link_->SetParent(&form_);
        link_->OnMouseDown = [this](TComponent*, TMouseButton button, TShiftState, int, int) {
            presses_.push_back(button);
        };
        ShowWindow(form_.Handle(), SW_SHOWNOACTIVATE);
        WaitPainted(form_.Handle());
    }
    void TearDown() override { MoveMouse(kAway); }

    HWND Hint() const { return link_->HintForm()->Handle(); }
    // A point of the label, in screen coordinates.
    POINT OnLabel(int x, int y) const {
        POINT point = {link_->Left() + x, link_->Top() + y};
        ClientToScreen(form_.Handle(), &point);
        return point;
    }
    POINT OnFormBesideLabel() const {
        POINT point = {link_->Left() + link_->Width() + 40, link_->Top() + 2};
        ClientToScreen(form_.Handle(), &point);
        return point;
    }
    // The pop-up's expected outer rectangle when shown at the pointer.
    RECT HintAt(POINT pointer, const std::string& text) const {
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, link_->HintFormFont().Handle());
        SIZE size = {};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        const LONG left = pointer.x + link_->HintOffsetX();
        const LONG top = pointer.y + link_->HintOffsetY();
        return RECT{left, top, left + size.cx + 6, top + size.cy + 3};
    }
    static RECT WindowRect(HWND window) {
        RECT rect;
        GetWindowRect(window, &rect);
        return rect;
    }
    // Pixels of one colour inside the label's area on the screen.
    int LabelPixels(TColor color) const {
        const COLORREF wanted = ColorToRGB(color);
        const POINT origin = OnLabel(0, 0);
        HDC screen = GetDC(nullptr);
        int count = 0;
        for (int y = 0; y < link_->Height(); ++y)
            for (int x = 0; x < link_->Width(); ++x)
                count += GetPixel(screen, origin.x + x, origin.y + y) == wanted;
        ReleaseDC(nullptr, screen);
        return count;
    }
    // A pixel of the label drawn in the highlight colour.
    POINT RedPixel() const {
        const POINT origin = OnLabel(0, 0);
        for (int y = 0; y < link_->Height(); ++y)
            for (int x = 0; x < link_->Width(); ++x)
                if (ScreenPixel(origin.x + x, origin.y + y) == ColorToRGB(clRed))
                    return POINT{origin.x + x, origin.y + y};
        return origin;
    }
    std::vector<std::string> Opened() const {
        WaitUntil([] { return !RecorderRunning(); });
        return OpenedTargets(log_);
    }
    bool WaitOpened(std::size_t count) const {
        return WaitUntil([&] { return OpenedTargets(log_).size() >= count; });
    }

    static constexpr POINT kAway = {900, 700};
    static TempFolder* logFolder_;
    static std::string log_;
    TLinkForm form_;
    TURLLink* link_ = nullptr;
    std::vector<TMouseButton> presses_;
};

TempFolder* URLLinkTest::logFolder_ = nullptr;
std::string URLLinkTest::log_;

TEST_F(URLLinkTest, ConstructedAsTheVersionPageExpectsAndDestroysItsPopup) {
    TURLLink fresh(nullptr);
    EXPECT_EQ(fresh.URLType(), tpURL);
    EXPECT_EQ(fresh.Link(), "http://");
    EXPECT_EQ(fresh.Cursor(), crHandPoint);
    EXPECT_EQ(fresh.Font().Color(), clBlue);
    EXPECT_EQ(fresh.LinkColor(), clRed);
    EXPECT_EQ(fresh.HintFormColor(), clInfoBk);
    EXPECT_EQ(fresh.HintOffsetX(), 15);
    EXPECT_EQ(fresh.HintOffsetY(), 15);
    EXPECT_TRUE(fresh.EnableShowHint());
    EXPECT_FALSE(fresh.HintShown());
    EXPECT_EQ(fresh.HintFormFont().Color(), clWindowText) << "the framework's default font";
    EXPECT_EQ(sizeof(TURLtype), 1u);

    HWND hint = Hint();
    ASSERT_TRUE(IsWindow(hint));
    EXPECT_FALSE(IsWindowVisible(hint));
    EXPECT_EQ(ClassNameOf(hint), "TForm") << "a plain form";
    EXPECT_EQ(link_->HintForm()->Owner(), nullptr);
    const LONG_PTR style = GetWindowLongPtrA(hint, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME | WS_CHILD), 0) << "borderless, top level";
    EXPECT_NE(GetWindowLongPtrA(hint, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    delete link_;
    EXPECT_FALSE(IsWindow(hint));
}

TEST_F(URLLinkTest, SizesItselfToItsCaptionAndShowsTheHandOverIt) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, link_->Font().Handle());
    SIZE size = {};
    GetTextExtentPoint32A(dc, "メールしてね", 12, &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(link_->Width(), size.cx);
    EXPECT_EQ(link_->Height(), size.cy);

    MoveMouse(OnLabel(3, 3));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));
    MoveMouse(OnFormBesideLabel());
    EXPECT_NE(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));
}

TEST_F(URLLinkTest, HoverHighlightsAndShowsLinkBesideThePointerOncePerVisit) {
    EXPECT_GT(LabelPixels(clBlue), 0);
    const POINT first = OnLabel(3, 4);
    MoveMouse(first);
    ASSERT_TRUE(WaitUntil([&] { return link_->HintShown() && IsWindowVisible(Hint()); }));
    EXPECT_EQ(link_->Font().Color(), clRed);
    EXPECT_EQ(link_->SavedFontColor(), clBlue);
    ASSERT_TRUE(WaitPainted(Hint()));
    EXPECT_GT(LabelPixels(clRed), 0);
    EXPECT_EQ(LabelPixels(clBlue), 0);

    const RECT expected = HintAt(first, "someone@example.com");
    const RECT shown = WindowRect(Hint());
    EXPECT_TRUE(EqualRect(&shown, &expected)) << shown.left << "," << shown.top << " " << shown.right - shown.left
                                              << "x" << shown.bottom - shown.top;
    RECT client;
    GetClientRect(Hint(), &client);
    EXPECT_EQ(client.right, expected.right - expected.left);
    EXPECT_EQ(client.bottom, expected.bottom - expected.top);
    EXPECT_EQ(WindowText(Hint()), "someone@example.com") << "Link, neither the caption nor mailto:";
    EXPECT_NE(GetForegroundWindow(), Hint()) << "shown without activation";
    EXPECT_EQ(ScreenPixel(shown.left + 1, shown.top + 1), ColorToRGB(clInfoBk));
    int textPixels = 0;
    for (int x = shown.left + 2; x < shown.right - 2; ++x)
        for (int y = shown.top + 2; y < shown.bottom - 1; ++y)
            textPixels += ScreenPixel(x, y) == ColorToRGB(clWindowText);
    EXPECT_GT(textPixels, 0) << "Link drawn on the pop-up";
    EXPECT_TRUE(SaveScreenshotShowing("url_link_hovered", {{shown.left + 1, shown.top + 1}, RedPixel()}));

    MoveMouse(OnLabel(10, 6));
    const RECT afterMove = WindowRect(Hint());
    EXPECT_TRUE(EqualRect(&afterMove, &expected)) << "the pop-up does not follow the pointer";

    MoveMouse(OnFormBesideLabel());
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(Hint()); }));
    EXPECT_FALSE(link_->HintShown());
    EXPECT_EQ(link_->Font().Color(), clBlue);
    ASSERT_TRUE(WaitPainted(form_.Handle()));
    EXPECT_EQ(LabelPixels(clRed), 0);

    const POINT second = OnLabel(20, 8);
    MoveMouse(second);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(Hint()); }));
    const RECT again = WindowRect(Hint());
    const RECT expectedAgain = HintAt(second, "someone@example.com");
    EXPECT_TRUE(EqualRect(&again, &expectedAgain)) << "a new visit shows it at the new pointer";

    // Off the form altogether: the leave comes from the system.
    MoveMouse(kAway);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(Hint()) && link_->Font().Color() == clBlue; }));
}

TEST_F(URLLinkTest, LeftPressOpensMailtoAndLinkEachTimeAndHidesThePopupRightPressOpensNothing) {
    link_->SetLink("mailto:someone@example.com");
    MoveMouse(OnLabel(3, 4));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(Hint()); }));
    EXPECT_EQ(WindowText(Hint()), "mailto:someone@example.com");

    PressButton(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(WaitUntil([&] { return presses_.size() == 1; }));
    EXPECT_EQ(presses_[0], mbRight);
    EXPECT_TRUE(IsWindowVisible(Hint())) << "a right press leaves the pop-up";
    EXPECT_TRUE(link_->HintShown());

    PressButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(WaitUntil([&] { return presses_.size() == 2; }));
    EXPECT_EQ(presses_[1], mbLeft);
    EXPECT_FALSE(IsWindowVisible(Hint()));
    EXPECT_FALSE(link_->HintShown());
    EXPECT_EQ(link_->Font().Color(), clRed) << "still hovered";
    ASSERT_TRUE(WaitOpened(1));
    EXPECT_EQ(Opened(), std::vector<std::string>{"mailto:mailto:someone@example.com"})
        << "the prefix is put in front unconditionally, and the right press opened nothing";

    const POINT moved = OnLabel(12, 5);
    MoveMouse(moved);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(Hint()); }));
    const RECT shown = WindowRect(Hint());
    const RECT expected = HintAt(moved, "mailto:someone@example.com");
    EXPECT_TRUE(EqualRect(&shown, &expected)) << "shown again at the new pointer after the press";

    // A double click: both presses open.
    PressButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    PressButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(WaitUntil([&] { return presses_.size() == 4; }));
    ASSERT_TRUE(WaitOpened(3));
    EXPECT_EQ(Opened(), std::vector<std::string>(3, "mailto:mailto:someone@example.com"));
}

TEST_F(URLLinkTest, WebLinkAndLinkWithoutSchemeAreHandedOverUnchanged) {
    link_->SetURLType(tpURL);
    link_->SetLink("http://www.example.com/yorunel/");
    MoveMouse(OnLabel(3, 4));
    PressButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(WaitOpened(1));

    TempFolder folder;
    const std::string page = folder.File("page.ylink");
    WriteFileBytes(page, "link");
    link_->SetLink(page);
    PressButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(WaitOpened(2));
    EXPECT_EQ(Opened(), (std::vector<std::string>{"http://www.example.com/yorunel/", page}));
}

TEST_F(URLLinkTest, WithoutShowHintTheColourStillChangesButNoPopupAppears) {
    link_->SetEnableShowHint(false);
    MoveMouse(OnLabel(3, 4));
    ASSERT_TRUE(WaitUntil([&] { return link_->Font().Color() == clRed; }));
    MoveMouse(OnLabel(8, 5));
    PumpMessages();
    EXPECT_FALSE(link_->HintShown());
    EXPECT_FALSE(IsWindowVisible(Hint()));
    MoveMouse(OnFormBesideLabel());
    EXPECT_TRUE(WaitUntil([&] { return link_->Font().Color() == clBlue; }));
}

TEST_F(URLLinkTest, WritersTakeEffectAtTheNextEntryOrShowing) {
    MoveMouse(OnLabel(3, 4));
    ASSERT_TRUE(WaitUntil([&] { return link_->HintShown(); }));
    const RECT before = WindowRect(Hint());
    link_->SetLinkColor(clOlive);
    TFont larger = link_->HintFormFont();
    larger.SetHeight(-24);
    link_->SetHintFormFont(larger);
    larger.SetHeight(-8);
    link_->SetHintOffsetX(40);
    PumpMessages();
    EXPECT_EQ(link_->Font().Color(), clRed) << "the colour on screen stays until the next entry";
    EXPECT_GT(LabelPixels(clRed), 0);
    const RECT unchanged = WindowRect(Hint());
    EXPECT_TRUE(EqualRect(&unchanged, &before)) << "a shown pop-up is left alone";
    EXPECT_EQ(link_->HintFormFont().Height(), -24) << "the label keeps a copy, not the caller's font";

    MoveMouse(OnFormBesideLabel());
    ASSERT_TRUE(WaitUntil([&] { return !link_->HintShown(); }));
    const POINT back = OnLabel(5, 5);
    MoveMouse(back);
    ASSERT_TRUE(WaitUntil([&] { return link_->HintShown(); }));
    EXPECT_EQ(link_->Font().Color(), clOlive);
    const RECT shown = WindowRect(Hint());
    const RECT expected = HintAt(back, "someone@example.com");
    EXPECT_TRUE(EqualRect(&shown, &expected));
    EXPECT_GT(shown.bottom - shown.top, before.bottom - before.top) << "measured in the new font";
}

// The version page's links lie on a group box, a system control that lets
// the mouse through to its parent except where a graphic control lies.
TEST_F(URLLinkTest, OnAGroupBoxTheLabelIsPaintedHighlightedAndOpened) {
    auto* frame = new TGroupBox(&form_, "frame", 150, 10, 180, 110);
    auto* onFrame = new TURLLink(&form_);
    onFrame->SetCaption("ＨＰはこちら");
    onFrame->SetLink("http://www.example.org/");
    onFrame->SetBounds(20, 40, onFrame->Width(), onFrame->Height());
    onFrame->SetParent(frame);
    InvalidateRect(frame->Handle(), nullptr, TRUE);
    ASSERT_TRUE(WaitPainted(form_.Handle()));
    POINT origin = {onFrame->Left(), onFrame->Top()};
    ClientToScreen(frame->Handle(), &origin);
    auto pixels = [&](TColor color) {
        int count = 0;
        for (int y = 0; y < onFrame->Height(); ++y)
            for (int x = 0; x < onFrame->Width(); ++x)
                count += ScreenPixel(origin.x + x, origin.y + y) == ColorToRGB(color);
        return count;
    };
    EXPECT_GT(pixels(clBlue), 0) << "painted over the frame";

    MoveMouse({origin.x + 4, origin.y + 4});
    ASSERT_TRUE(WaitUntil([&] { return onFrame->HintShown(); }));
    EXPECT_EQ(onFrame->Font().Color(), clRed);
    EXPECT_TRUE(WaitUntil([&] { return pixels(clRed) > 0 && pixels(clBlue) == 0; }));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));
    PressButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(WaitOpened(1));
    EXPECT_EQ(Opened(), std::vector<std::string>{"http://www.example.org/"});

    MoveMouse({origin.x + onFrame->Width() + 20, origin.y + 4});
    EXPECT_TRUE(WaitUntil([&] { return onFrame->Font().Color() == clBlue && pixels(clRed) == 0; }));
    EXPECT_FALSE(link_->HintShown()) << "the form's own label saw nothing of it";
}

}  // namespace
