#include "settings_ui/korvan_prop.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "app/korvan_main.h"
#include "app/settings_table.h"
#include "controls/url_link.h"
#include "framework/application.h"
#include "framework/failure.h"
#include "framework/static_text.h"
#include "resources/texts.h"
#include "settings_ui/folder_dialog.h"
#include "settings_ui/startup_shortcut.h"
#include "settings_ui/task_form.h"

TKorvanProp* KorvanProp = nullptr;

namespace {

constexpr int kPageLeft = 200;
constexpr int kPageTop = 3;
constexpr int kOuterWidth = 546;
constexpr int kOuterHeight = 221;

// The full path of a folder that can be made the current directory, else
// empty. The current directory is put back, so the folder is not held.
std::string EnterableFolderPath(const std::string& folder) {
    char previous[MAX_PATH] = {};
    char full[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    // Resolved before entering it: a relative folder is relative to where we are.
    const DWORD length = GetFullPathNameA(folder.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH || !SetCurrentDirectoryA(folder.c_str()))
        return {};
    SetCurrentDirectoryA(previous);
    return std::string(full, length);
}

// A high-contrast theme's background may leave a fixed blue unreadable;
// its own colour for links is the hot-tracking one.
bool HighContrastOn() {
    HIGHCONTRASTA contrast = {sizeof(contrast), 0, nullptr};
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

// The item a choice's value stands for; a value this version does not know
// stands for the first.
int Choice(const TKorvanMain& main, const TSetting& setting, int count) {
    if (setting.flag)
        return main.*setting.flag ? 1 : 0;
    if (!setting.choices)
        return main.*setting.number >= 0 && main.*setting.number < count ? main.*setting.number : 0;
    for (int item = 0; item < count; ++item)
        if (main.*setting.text == setting.choices[item])
            return item;
    return 0;
}

}  // namespace

TKorvanProp::TKorvanProp(TComponent* owner) : TForm(owner) {
    Name = "KorvanProp";
    Font.SetName(texts::UiFontName);
    Font.SetHeight(-12);
    Font.SetCharset(SHIFTJIS_CHARSET);
    SetPositionCentred();
    OnCreate = [this](TComponent* s) { FormCreate(s); };
    OnShow = [this](TComponent* s) { FormShow(s); };
    CreateForm(WS_EX_DLGMODALFRAME, WS_POPUP | WS_CAPTION | WS_SYSMENU, ScaleToDpi(kOuterWidth),
               ScaleToDpi(kOuterHeight), texts::PropCaption, Application->Handle());

    // Created in tab order: OK, Help, Close, Update, the tree, the pages.
    Button1 = new TButton(this, texts::ButtonOk, 456, 8, 75, 25);
    Button1->MakeDefault();
    Button1->OnClick = [this](TComponent* s) { Button1Click(s); };
    Button2 = new TButton(this, texts::ButtonHelp, 456, 104, 75, 25);
    Button2->OnClick = [this](TComponent* s) { Button2Click(s); };
    Button3 = new TButton(this, texts::ButtonClose, 456, 40, 75, 25);
    Button3->OnClick = [this](TComponent* s) { Button3Click(s); };
    Button4 = new TButton(this, texts::ButtonUpdate, 456, 72, 75, 25);
    Button4->OnClick = [this](TComponent* s) { Button4Click(s); };

    TreeView1 = new TTreeView(this, 8, 8, 185, 177);
    TreeView1->SetIndent(19);
    for (const char* node : {texts::NodeVersion, texts::NodeHotKey, texts::NodeHotKey2, texts::NodeWallpaper,
                             texts::NodeMore, texts::NodePanic, texts::NodeSettings})
        TreeView1->Add(node);
    TreeView1->OnChanging = [this](TTreeView* s) { return TreeView1Changing(s); };
    TreeView1->OnChange = [this](TTreeView* s, const std::string& text) { TreeView1Change(s, text); };

    TGroupBox* frame = nullptr;
    Panel1 = Page(texts::NodeHotKey, 0, frame);
    HotKey1 = HotKeyGroup(frame, texts::GroupRedraw, 24, 31);
    HotKey2 = HotKeyGroup(frame, texts::GroupScreenSaver, 88, 32);

    Panel2 = Page(texts::NodeHotKey2, 0, frame);
    HotKey3 = HotKeyGroup(frame, texts::GroupExitDialog, 24, 31);

    Panel3 = Page(texts::NodePanic, 8, frame);
    auto* applications = new TGroupBox(frame, texts::GroupApplications, 8, 24, 225, 65);
    Edit1 = new TEdit(applications, 16, 16, 153, 20);
    Button7 = new TButton(applications, texts::ButtonRegister, 174, 16, 43, 17);
    Edit2 = new TEdit(applications, 16, 40, 153, 20);
    Button5 = new TButton(applications, texts::ButtonRegister, 174, 40, 43, 17);
    Button7->OnClick = [this](TComponent* s) { Button5Click(s); };
    Button5->OnClick = [this](TComponent* s) { Button5Click(s); };
    HotKey4 = HotKeyGroup(frame, texts::GroupPanic, 96, 31);

    Panel4 = Page(texts::NodeSettings, 0, frame);
    RadioGroup1 = new TRadioGroup(frame, texts::RadioPause, 8, 16, 225, 65, {texts::RadioRight, texts::RadioLeft});

    Panel6 = Page(texts::NodeWallpaper, 0, frame);
    HotKey5 = HotKeyGroup(frame, texts::GroupWallpaper, 24, 31);
    SpinEdit1 = new TSpinEdit(frame, 8, 88, 65, 21, 0, 59);
    new TStaticText(frame, texts::Minutes, 80, 96);
    Edit3 = new TEdit(frame, 8, 120, 169, 20);
    Button8 = new TButton(frame, texts::ButtonPath, 184, 120, 33, 21);
    Button8->OnClick = [this](TComponent* s) { Button8Click(s); };

    Panel7 = Page(texts::NodeMore, 0, frame);
    ComboBox1 = new TComboBox(new TGroupBox(frame, texts::GroupOrder, 8, 16, 225, 41), 16, 14, 193,
                              {texts::OrderFolder, texts::OrderName, texts::OrderShuffle});
    ComboBox2 = new TComboBox(new TGroupBox(frame, texts::GroupStyle, 8, 60, 225, 41), 16, 14, 193,
                              {texts::StyleWindows, texts::StyleFill, texts::StyleFit, texts::StyleStretch,
                               texts::StyleTile, texts::StyleCenter, texts::StyleSpan});
    CheckBox1 = new TCheckBox(frame, texts::CheckSubFolders, 16, 108, 209, 17);
    CheckBox2 = new TCheckBox(frame, texts::CheckMonitors, 16, 128, 209, 17);
    CheckBox3 = new TCheckBox(frame, texts::CheckStartup, 16, 156, 209, 17);

    Panel5 = Page(texts::NodeVersion, 0, frame);
    BuildVersionPage(frame);
    // The version page lies on top of the others, so it is the one seen.
    Panel5->BringToFront();
    DoCreate();
}

TKorvanProp::~TKorvanProp() {
    if (KorvanProp == this)
        KorvanProp = nullptr;
}

TPanel* TKorvanProp::Page(const char* title, int frameLeft, TGroupBox*& frame) {
    auto* page = new TPanel(this, kPageLeft, kPageTop, 249, 186);
    frame = new TGroupBox(page, title, frameLeft, 0, 241, 183);
    return page;
}

THotKey* TKorvanProp::HotKeyGroup(TGroupBox* frame, const char* title, int top, int editTop) {
    auto* group = new TGroupBox(frame, title, 8, top, 225, 57);
    new TStaticText(group, texts::HotKeyLabel, 8, 13);
    return new THotKey(group, 16, editTop, 193, 18);
}

void TKorvanProp::BuildVersionPage(TGroupBox* frame) {
    new TStaticText(frame, "Yorunel  Version 1.0.0", 16, 28);
    new TStaticText(frame, "(C) 2026 Yorunel Project", 16, 52);
    TFont font;
    font.SetName(texts::UiFontName);
    font.SetHeight(-12);
    font.SetCharset(SHIFTJIS_CHARSET);
    TFont hintFont = font;
    // The tip's text in the colour that goes with its background.
    hintFont.SetColor(clInfoText);
    struct TLinkLayout {
        TURLLink** link;
        TURLtype type;
        const char* caption;
        const char* target;
        int top;
    };
    const TLinkLayout links[] = {
        {&URLlink1, tpMAIL, texts::LinkMail1, "yorunel@example.com", 88},
        {&URLlink2, tpMAIL, texts::LinkMail2, "yorunel@example.org", 112},
        {&URLlink3, tpURL, texts::LinkHome, "http://www.example.net/yorunel/", 136},
    };
    for (const TLinkLayout& layout : links) {
        auto* link = new TURLLink(this);
        font.SetColor(HighContrastOn() ? clHotLight : clBlue);
        link->SetFont(font);
        link->SetLinkColor(clRed);
        link->SetHintFormFont(hintFont);
        link->SetURLType(layout.type);
        link->SetCaption(layout.caption);
        link->SetLink(layout.target);
        link->SetBounds(ScaleToDpi(16), ScaleToDpi(layout.top), link->Width(), link->Height());
        link->SetParent(frame);
        *layout.link = link;
    }
}

void TKorvanProp::FormCreate(TComponent*) {
    TKorvanMain& main = *KorvanMain;
    SetActiveControl(HotKey1);
    for (const TSetting& setting : Settings())
        if (setting.kind == TSettingKind::HotKey)
            (this->*setting.hotKeyField)->SetHotKey(ParseShortCut(main.*setting.text));
    // Released while the dialog is open, so a typed combination reaches the
    // field instead of setting off its chore.
    main.ReleaseHotKeys();
    for (const TSetting& setting : Settings()) {
        if (setting.textField)
            (this->*setting.textField)->SetText(main.*setting.text);
        else if (setting.spinField)
            (this->*setting.spinField)->SetValue(main.*setting.number);
        else if (setting.radioField)
            (this->*setting.radioField)->SetItemIndex(main.*setting.flag ? 1 : 0);
        else if (setting.comboField)
            (this->*setting.comboField)->SetItemIndex(Choice(main, setting, (this->*setting.comboField)->Count()));
        else if (setting.checkField)
            (this->*setting.checkField)->SetChecked(Choice(main, setting, 2) == 1);
    }
    CheckBox3->SetChecked(TStartupShortcut().Enabled());
    for (TPanel* page : {Panel1, Panel2, Panel3, Panel4, Panel6, Panel7, Panel5})
        page->MoveTo(kPageLeft, kPageTop);
}

void TKorvanProp::FormShow(TComponent*) {
    RECT outer;
    GetWindowRect(Handle(), &outer);
    SetOuterSize(outer.right - outer.left, ScaleToDpi(kOuterHeight));
    SetOuterSize(ScaleToDpi(kOuterWidth), ScaleToDpi(kOuterHeight));
}

bool TKorvanProp::TreeView1Changing(TTreeView*) {
    for (TPanel* page : {Panel1, Panel2, Panel3, Panel4, Panel5, Panel6, Panel7})
        page->SetVisible(false);
    return true;
}

void TKorvanProp::TreeView1Change(TTreeView*, const std::string& nodeText) {
    const std::pair<const char*, TPanel*> pages[] = {
        {texts::NodeVersion, Panel5},   {texts::NodeHotKey, Panel1}, {texts::NodeHotKey2, Panel2},
        {texts::NodeWallpaper, Panel6}, {texts::NodeMore, Panel7},   {texts::NodePanic, Panel3},
        {texts::NodeSettings, Panel4},
    };
    for (const auto& [text, page] : pages)
        if (nodeText == text) {
            page->SetVisible(true);
            return;
        }
}

bool TKorvanProp::ApplySettings() {
    TKorvanMain& main = *KorvanMain;
    const std::string typed = Edit3->Text();
    // The folder must be enterable; an empty one passes and stays empty.
    const std::string folder = EnterableFolderPath(typed);
    if (folder.empty() && !typed.empty()) {
        MessageBoxA(Handle(), texts::FolderNotFound, texts::AppTitle, MB_OK);
        return false;
    }
    changed_ = true;
    const std::string trouble = RegisterHotKeyFields();
    for (const TSetting& setting : Settings()) {
        if (setting.kind == TSettingKind::HotKey)
            main.*setting.text = FormatShortCut((this->*setting.hotKeyField)->HotKey());
        else if (setting.kind == TSettingKind::Title)
            main.*setting.text = (this->*setting.textField)->Text();
        else if (setting.kind == TSettingKind::Folder)
            main.*setting.text = folder;
    }
    // A number typed beyond the range and confirmed with Enter is pulled in too.
    SpinEdit1->SetValue(SpinEdit1->Value());
    const int minutes = SpinEdit1->Value();
    // May throw: what is stored before it stays stored, the rest is skipped.
    main.Timer1->SetInterval(minutes == 0 ? 0 : kMinuteMs);
    main.MinuteCount = 0;
    for (const TSetting& setting : Settings()) {
        if (setting.spinField)
            main.*setting.number = (this->*setting.spinField)->Value();
        else if (setting.radioField)
            main.*setting.flag = (this->*setting.radioField)->ItemIndex() == 1;
        else if (setting.comboField || setting.checkField) {
            const int chosen = setting.comboField ? (this->*setting.comboField)->ItemIndex()
                                                  : (this->*setting.checkField)->Checked();
            const int count = setting.comboField ? (this->*setting.comboField)->Count() : 2;
            // Stored only when changed: a value this version does not know stays as written.
            if (chosen < 0 || chosen == Choice(main, setting, count))
                continue;
            if (setting.flag)
                main.*setting.flag = chosen == 1;
            else if (setting.choices)
                main.*setting.text = setting.choices[chosen];
            else
                main.*setting.number = chosen;
        }
    }
    if (!trouble.empty())
        MessageBoxA(Handle(), (texts::HotKeyTrouble + trouble).c_str(), texts::AppTitle, MB_OK);
    ApplyStartup();
    return true;
}

void TKorvanProp::ApplyStartup() {
    const TStartupShortcut startup;
    const bool wanted = CheckBox3->Checked();
    if (wanted == startup.Enabled())
        return;
    if (const HRESULT result = startup.SetEnabled(wanted); FAILED(result)) {
        // A refusal of the system is told in its own words.
        const HRESULT code = HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : result;
        const std::string told = FormatText(wanted ? texts::StartupNotCreated : texts::StartupNotRemoved,
                                            SysErrorMessage(static_cast<unsigned long>(code)).c_str());
        MessageBoxA(Handle(), told.c_str(), texts::AppTitle, MB_OK);
    }
    // What the folder holds now, whatever was refused.
    CheckBox3->SetChecked(startup.Enabled());
}

std::string TKorvanProp::RegisterHotKeyFields() {
    TKorvanMain& main = *KorvanMain;
    std::vector<const TSetting*> earlier;
    std::string trouble;
    for (const TSetting& setting : Settings()) {
        if (setting.kind != TSettingKind::HotKey)
            continue;
        const TShortCut value = (this->*setting.hotKeyField)->HotKey();
        // While paused the hotkeys stay released; the resume registers them.
        const bool refused = !main.Paused && !main.HookHotKey1->AddHotKey(setting.hotKey, value);
        const auto same = std::find_if(earlier.begin(), earlier.end(), [&](const TSetting* other) {
            return (this->*other->hotKeyField)->HotKey() == value;
        });
        const char* sameChore = same != earlier.end() ? (*same)->chore : nullptr;
        earlier.push_back(&setting);
        if (value == 0)
            continue;
        std::string reason;
        // Paused, nothing is registered: only a repeat of an earlier field is known to be refused.
        if (sameChore && (refused || main.Paused))
            reason = FormatText(texts::HotKeySameAs, sameChore);
        else if (refused)
            reason = texts::HotKeyHeldElsewhere;
        if (!reason.empty())
            trouble += FormatText(texts::HotKeyTroubleLine, setting.chore, reason.c_str());
    }
    return trouble;
}

void TKorvanProp::Button1Click(TComponent*) {
    if (!ApplySettings())
        return;
    applied_ = true;
    ModalResult = mrOk;
}

void TKorvanProp::Button4Click(TComponent*) {
    // The list in the new order, of the new folders, at once; after OK it is
    // asked for when the dialog has closed.
    if (ApplySettings())
        KorvanMain->BuildWallpaperMenu();
}

void TKorvanProp::Button3Click(TComponent*) {
    Close();
}

void TKorvanProp::Button2Click(TComponent*) {
    Application->HelpCommand(HELP_FINDER, 0);
}

void TKorvanProp::Button5Click(const TComponent* Sender) {
    if (Sender == Button7)
        PickTarget = 1;
    else if (Sender == Button5)
        PickTarget = 2;
    std::unique_ptr<TTaskForm> picker(new TTaskForm(Application));
    TaskForm = picker.get();
    picker->ShowModal();
    TaskForm = nullptr;
}

void TKorvanProp::Button8Click(TComponent*) {
    FolderDialog = new TFolderDialog(this);
    if (FolderDialog->Execute())
        Edit3->SetText(FolderDialog->Directory);
}

void TKorvanProp::SetApplication1(const std::string& title) {
    Edit1->SetText(title);
}

void TKorvanProp::SetApplication2(const std::string& title) {
    Edit2->SetText(title);
}
