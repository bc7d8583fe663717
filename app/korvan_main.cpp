#include "app/korvan_main.h"

#include <exception>

#include "portable/file_paths.h"
#include "framework/application.h"
#include "framework/failure.h"
#include "framework/ini_file.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "settings_ui/korvan_prop.h"

TKorvanMain* KorvanMain = nullptr;

namespace {


struct THotKeySetting {
    const char* key;
    int index;
    std::string TKorvanMain::*member;
};

// The hotkeys in the order the settings file is read, with their indexes.
const THotKeySetting kHotKeys[] = {
    {"Paint", 1, &TKorvanMain::Paint},
    {"ScreenSaver", 2, &TKorvanMain::ScreenSaver},
    {"ExitDialog", 3, &TKorvanMain::ExitDialog},
    {"Panic", 4, &TKorvanMain::Panic},
};
const THotKeySetting kWallPaperHotKey = {"WallPaper", 5, &TKorvanMain::WallPaper};

bool FileFound(const std::string& path) {
    WIN32_FIND_DATAA found;
    unique_find search(FindFirstFileA(path.c_str(), &found));
    return search && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string ProgramFileName() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return std::string(buffer, length);
}

TKorvanMain::TKorvanMain(TComponent* owner)
    : TForm(owner) {
    Name = "KorvanMain";
    KorvanMain = this;
    PopupMenu1 = new TPopupMenu(this);
    N4 = PopupMenu1->Items.Add(texts::MenuWallpaper);
    N1 = PopupMenu1->Items.Add(texts::MenuSettings, [this](TComponent* s) { N1Click(s); });
    Exit1 = PopupMenu1->Items.Add(texts::MenuExit, [this](TComponent* s) { Exit1Click(s); });
    N2 = PopupMenu1->Items.Add("-");
    N3 = PopupMenu1->Items.Add(texts::MenuHelp, [this](TComponent* s) { N3Click(s); });
    HookHotKey1 = new THookHotKey(this);
    HookHotKey1->Activate = false;
    HookHotKey1->OnHotKey = [this](THookHotKey* s, int index) { HookHotKey1HotKey(s, index); };
    Timer1 = new TTimer(this);
    Timer1->SetInterval(kMinuteMs);
    Timer1->OnTimer = [this](TComponent* s) { Timer1Timer(s); };
    OnCreate = [this](TComponent* s) { FormCreate(s); };
    OnClose = [this](TComponent* s) { FormClose(s); };
    OnShow = [this](TComponent* s) { FormShow(s); };
    // A hidden top-level window, not a message-only one: the tray's
    // "TaskbarCreated" is broadcast, and message-only windows get no broadcasts.
    CreateForm(0, WS_POPUP, 0, 0, texts::AppTitle, Application->Handle());
    TrayIcon = new TTrayIcon(this, WM_TRAYICON);
    DoCreate();
}

TKorvanMain::~TKorvanMain() {
    if (KorvanMain == this)
        KorvanMain = nullptr;
}

LRESULT TKorvanMain::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TRAYICON) {
        WMTrayIcon(lParam);
        return 0;
    }
    if (TrayIcon && TrayIcon->HandleMessage(message))
        return 0;
    if (message == WM_ENDSESSION) {
        // Windows ends the session without closing the window: save now.
        if (wParam && TrayIcon)
            EndSession();
        return 0;
    }
    return TForm::WndProc(message, wParam, lParam);
}

std::string TKorvanMain::SettingsFileName() const {
    return ChangeFileExt(ProgramFileName(), ".ini");
}

void TKorvanMain::FormCreate(TComponent*) {
    LoadSettings();
    Paused = false;
    SetTrayState(IDI_RUNNING, texts::TipRunning);
    TrayIcon->Show();
    BuildWallpaperMenu();
}

void TKorvanMain::FormClose(TComponent*) {
    // A second close while the question is open (taskkill closes every
    // top-level window) waits for its answer.
    if (closing_)
        throw EAbort();
    TrayIcon->Hide();
    try {
        SaveSettings();
    } catch (const std::exception& failure) {
        closing_ = true;
        const bool exitAnyway = Application->ConfirmFailure(failure.what(), texts::ExitWithoutSaving);
        closing_ = false;
        if (exitAnyway)
            return;
        TrayIcon->Show();
        throw EAbort();
    }
}

void TKorvanMain::EndSession() {
    TrayIcon->Hide();
    try {
        SaveSettings();
    } catch (const std::exception&) {
        // No box: the session would wait for an answer nobody gives.
    }
}

void TKorvanMain::FormShow(TComponent*) {
    ShowWindow(Application->Handle(), SW_HIDE);
}

void TKorvanMain::LoadSettings() {
    const TIniFile ini(SettingsFileName());
    if (!FileFound(ini.FileName())) {
        MessageBoxA(nullptr, texts::FirstRun, texts::AppTitle, MB_OK);
        return;
    }
    auto loadHotKey = [&](const THotKeySetting& setting) {
        const std::string text = ini.ReadString("HotKey", setting.key, "");
        if (text.empty())
            return;
        this->*setting.member = text;
        HookHotKey1->AddHotKey(setting.index, ParseShortCut(text));
    };
    for (const THotKeySetting& setting : kHotKeys)
        loadHotKey(setting);
    for (auto [key, member] : {std::pair{"Application1", &TKorvanMain::Application1},
                               std::pair{"Application2", &TKorvanMain::Application2}}) {
        const std::string text = ini.ReadString("HotKey", key, "");
        if (!text.empty())
            this->*member = text;
    }
    loadHotKey(kWallPaperHotKey);
    WallPaperPath = ini.ReadString("HotKey", "WallPaperPath", ExtractFileDir(ProgramFileName()));
    Time = ini.ReadInteger("HotKey", "Time", 10);
    Mouse = ini.ReadBool("Operate", "Mouse", true);
}

void TKorvanMain::SaveSettings() {
    unsaved_ = true;
    const TIniFile ini(SettingsFileName());
    ini.WriteString("HotKey", "Paint", Paint);
    ini.WriteString("HotKey", "ScreenSaver", ScreenSaver);
    ini.WriteString("HotKey", "ExitDialog", ExitDialog);
    ini.WriteString("HotKey", "Panic", Panic);
    ini.WriteString("HotKey", "Application1", Application1);
    ini.WriteString("HotKey", "Application2", Application2);
    ini.WriteString("HotKey", "WallPaper", WallPaper);
    ini.WriteString("HotKey", "WallPaperPath", WallPaperPath);
    ini.WriteInteger("HotKey", "Time", Time);
    ini.WriteBool("Operate", "Mouse", Mouse);
    unsaved_ = false;
}

void TKorvanMain::RegisterHotKeys() {
    for (const THotKeySetting& setting : kHotKeys)
        if (!(this->*setting.member).empty())
            HookHotKey1->AddHotKey(setting.index, ParseShortCut(this->*setting.member));
    if (!WallPaper.empty())
        HookHotKey1->AddHotKey(kWallPaperHotKey.index, ParseShortCut(WallPaper));
}

void TKorvanMain::TogglePause() {
    if (Paused) {
        // After a failed save the file is older than the record: keep the record.
        if (unsaved_)
            RegisterHotKeys();
        else
            LoadSettings();
        Paused = false;
        SetTrayState(IDI_RUNNING, texts::TipRunning);
        TrayIcon->Update();
        return;
    }
    // A file that cannot be written is told, but the pause holds.
    std::exception_ptr unsaved;
    try {
        SaveSettings();
    } catch (...) {
        unsaved = std::current_exception();
    }
    for (int index = 1; index <= 5; ++index)
        HookHotKey1->RemoveHotKey(index);
    Paused = true;
    SetTrayState(IDI_PAUSED, texts::TipPaused);
    TrayIcon->Update();
    if (unsaved)
        std::rethrow_exception(unsaved);
}

void TKorvanMain::SetTrayState(int iconId, const char* tip) {
    TrayIcon->SetState(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(iconId)), tip);
}

void TKorvanMain::WMTrayIcon(LPARAM mouseMessage) {
    HWND settings = FindWindowA("TKorvanProp", nullptr);
    POINT cursor = {};
    GetCursorPos(&cursor);
    const bool left = mouseMessage == WM_LBUTTONDOWN;
    const bool right = mouseMessage == WM_RBUTTONDOWN;
    if (!left && !right)
        return;
    if (settings) {
        SetForegroundWindow(Handle());
        return;
    }
    if (Mouse ? left : right)
        TogglePause();
    else
        PopupMenu1->Popup(Handle(), cursor.x, cursor.y);
}

void TKorvanMain::N1Click(TComponent*) {
    bool applied = false;
    bool changed = false;
    {
        std::unique_ptr<TKorvanProp> dialog(new TKorvanProp(Application));
        KorvanProp = dialog.get();
        dialog->ShowModal();
        applied = dialog->Applied();
        changed = dialog->Changed();
    }
    BuildWallpaperMenu();
    if (Paused) {
        // Changes made while paused reach the resume through the file; with
        // none, the file may hold the user's own edits for the resume.
        if (changed)
            SaveSettings();
    } else if (!applied) {
        // Closed without OK: the hotkeys released for the dialog come back.
        RegisterHotKeys();
    }
}

void TKorvanMain::Exit1Click(TComponent*) {
    Close();
}

void TKorvanMain::N3Click(TComponent*) {
    Application->HelpCommand(HELP_FINDER, 0);
}
