#include "settings_ui/task_form.h"

#include "framework/application.h"
#include "resources/texts.h"
#include "settings_ui/korvan_prop.h"

TTaskForm* TaskForm = nullptr;

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
        if (!IsWindowVisible(window))
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
