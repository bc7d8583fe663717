#include "app/korvan_main.h"

#include <exception>

#include "app/settings_table.h"
#include "framework/application.h"
#include "framework/failure.h"
#include "framework/ini_file.h"
#include "portable/file_paths.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "settings_ui/korvan_prop.h"

TKorvanMain* KorvanMain = nullptr;

namespace {

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
    PopupMenu1->OnClose = [this](TComponent*) {
        if (listWaiting_)
            FillWallpaperMenu(std::vector<std::u16string>(std::move(waitingList_)),
                              std::vector<RECT>(std::move(waitingMonitors_)), waitingNumber_);
    };
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
    Wallpapers = new TWallpaperWorker(this);
    Wallpapers->OnListed = [this](const std::vector<std::u16string>& paths, const std::vector<RECT>& monitors,
                                  unsigned number) { FillWallpaperMenu(paths, monitors, number); };
    Wallpapers->OnSet = [this](const TWallpaperSet& request) { WallpaperSet(request); };
    Wallpapers->OnFailed = [this](const std::string& failure, const TWallpaperSet& request) {
        WallpaperFailed(failure, request.origin);
    };
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
    // Monitors added or taken away: the list brings their areas.
    if (message == WM_DISPLAYCHANGE)
        BuildWallpaperMenu();
    if (message == WM_TIMER && wParam == kSaverTimer) {
        SaverTimerTimer();
        return 0;
    }
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
    for (const TSetting& setting : Settings()) {
        switch (setting.kind) {
        case TSettingKind::HotKey:
        case TSettingKind::Title: {
            const std::string text = ini.ReadString(setting.section, setting.key, "");
            if (text.empty())
                break;
            this->*setting.text = text;
            if (setting.kind == TSettingKind::HotKey)
                HookHotKey1->AddHotKey(setting.hotKey, ParseShortCut(text));
            break;
        }
        case TSettingKind::Folder:
            this->*setting.text = ini.ReadString(setting.section, setting.key, ExtractFileDir(ProgramFileName()));
            break;
        case TSettingKind::Text:
            this->*setting.text = ini.ReadString(setting.section, setting.key, "");
            break;
        case TSettingKind::Integer:
            this->*setting.number = ini.ReadInteger(setting.section, setting.key, setting.defaultValue);
            break;
        case TSettingKind::Boolean:
            this->*setting.flag = ini.ReadBool(setting.section, setting.key, setting.defaultValue != 0);
            break;
        }
    }
}

void TKorvanMain::SaveSettings() {
    unsaved_ = true;
    const TIniFile ini(SettingsFileName());
    for (const TSetting& setting : Settings()) {
        switch (setting.kind) {
        case TSettingKind::HotKey:
        case TSettingKind::Title:
        case TSettingKind::Folder:
        case TSettingKind::Text:
            ini.WriteString(setting.section, setting.key, this->*setting.text);
            break;
        case TSettingKind::Integer:
            ini.WriteInteger(setting.section, setting.key, this->*setting.number);
            break;
        case TSettingKind::Boolean:
            ini.WriteBool(setting.section, setting.key, this->*setting.flag);
            break;
        }
    }
    unsaved_ = false;
}

void TKorvanMain::RegisterHotKeys() {
    for (const TSetting& setting : Settings())
        if (setting.kind == TSettingKind::HotKey && !(this->*setting.text).empty())
            HookHotKey1->AddHotKey(setting.hotKey, ParseShortCut(this->*setting.text));
}

void TKorvanMain::ReleaseHotKeys() {
    for (const TSetting& setting : Settings())
        if (setting.kind == TSettingKind::HotKey)
            HookHotKey1->RemoveHotKey(setting.hotKey);
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
    ReleaseHotKeys();
    Paused = true;
    SetTrayState(IDI_PAUSED, texts::TipPaused);
    TrayIcon->Update();
    if (unsaved)
        std::rethrow_exception(unsaved);
}

void TKorvanMain::SetTrayState(int iconId, const char* tip) {
    TrayIcon->SetState(iconId, tip);
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
        // The dialog has no task-bar button: a click on the icon is the way
        // back to it, or to the picker open above it. The shell lets the
        // icon's program take the foreground at such a click.
        HWND front = GetLastActivePopup(GetWindow(settings, GW_OWNER));
        SetForegroundWindow(front && IsWindowVisible(front) && IsWindowEnabled(front) ? front : settings);
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
    failureNotice_.Reset();
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
