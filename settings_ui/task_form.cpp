#include "settings_ui/task_form.h"

#include "framework/application.h"
#include "framework/handles.h"
#include "framework/win10_api.h"
#include "resources/texts.h"
#include "settings_ui/korvan_prop.h"

TTaskForm* TaskForm = nullptr;

namespace {

// A window of another program that the user can see: the window manager
// cloaks suspended store apps and the hidden windows of Windows 10 and 11,
// but also every window on another virtual desktop, which is the user's.
// Before Windows 8, and under Wine, the attribute fails: not cloaked.
bool UsersWindow(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId())
        return false;
    static const HMODULE dwm = LoadLibraryA("dwmapi.dll");
    const auto attribute = ProcAddress<DwmGetWindowAttributeProc>(dwm, "DwmGetWindowAttribute");
    DWORD cloaked = 0;
    if (!attribute || FAILED(attribute(window, kDwmwaCloaked, &cloaked, sizeof(cloaked))) || cloaked == 0)
        return true;
    com_ptr<IVirtualDesktopManager> desktops;
    BOOL current = TRUE;
    return SUCCEEDED(CoCreateInstance(kClsidVirtualDesktopManager, nullptr, CLSCTX_INPROC_SERVER,
                                      kIidVirtualDesktopManager, desktops.put_void())) &&
           SUCCEEDED(desktops->IsWindowOnCurrentVirtualDesktop(window, &current)) && !current;
}

}  // namespace

TTaskForm::TTaskForm(TComponent* owner) : TForm(owner) {
    Name = "TaskForm";
    Font.SetName(texts::UiFontName);
    Font.SetHeight(-12);
    Font.SetCharset(SHIFTJIS_CHARSET);
    SetPositionCentred();
    OnCreate = [this](TComponent* s) { FormCreate(s); };
    CreateForm(WS_EX_DLGMODALFRAME, WS_POPUP | WS_CAPTION | WS_SYSMENU, ScaleToDpi(250), ScaleToDpi(200),
               texts::TaskCaption, Application->Handle());
    ListBox1 = new TListBox(this, 8, 8, 225, 129);
    ListBox1->OnDblClick = [this](TComponent* s) { ListBox1DblClick(s); };
    Button2 = new TButton(this, texts::TaskCancel, 160, 144, 75, 25);
    Button2->OnClick = [this](TComponent* s) { Button2Click(s); };
    SpeedButton1 = new TSpeedButton(this, 8, 144, 25, 25, "REFRESH", texts::TaskRefreshHint);
    SpeedButton1->OnClick = [this](TComponent* s) { SpeedButton1Click(s); };
    SetActiveControl(ListBox1);
    DoCreate();
}

TTaskForm::~TTaskForm() {
    if (TaskForm == this)
        TaskForm = nullptr;
}

BOOL CALLBACK ListWindowProc(HWND window, LPARAM list) {
    // No exception may cross back into EnumWindows.
    try {
        if (!IsWindowVisible(window) || !UsersWindow(window))
            return TRUE;
        TListedTitle title = {};
        if (ReadListedTitle(window, title) == 0)
            return TRUE;
        reinterpret_cast<TListBox*>(list)->Add(title);
    } catch (...) {
        Application->HandleException();
    }
    return TRUE;
}

int ReadListedTitle(HWND window, TListedTitle& title) {
    title[0] = '\0';
    return GetWindowTextA(window, title, sizeof(title) - 1);
}

void TTaskForm::FillList() {
    ListBox1->Clear();
    EnumWindows(ListWindowProc, reinterpret_cast<LPARAM>(ListBox1));
}

void TTaskForm::FormCreate(TComponent*) {
    FillList();
}

void TTaskForm::SpeedButton1Click(TComponent*) {
    FillList();
}

void TTaskForm::ListBox1DblClick(TComponent*) {
    const int selected = ListBox1->ItemIndex();
    // A double click away from every entry selects nothing and does nothing.
    if (selected < 0)
        return;
    const std::string title = ListBox1->Item(selected);
    if (KorvanProp && KorvanProp->PickTarget == 1)
        KorvanProp->SetApplication1(title);
    else if (KorvanProp && KorvanProp->PickTarget == 2)
        KorvanProp->SetApplication2(title);
    Close();
}

void TTaskForm::Button2Click(TComponent*) {
    Close();
}
