// The window picker: the titles of the visible top-level windows of other
// programs; a double click hands the title to the open settings dialog and
// closes.
#pragma once

#include <windows.h>

#include "framework/button.h"
#include "framework/form.h"
#include "framework/list_box.h"
#include "framework/speed_button.h"

class TTaskForm : public TForm {
public:
    // Created for one modal use by the settings dialog's "登録" buttons.
    explicit TTaskForm(TComponent* owner);
    ~TTaskForm() override;

    TListBox* ListBox1;
    TSpeedButton* SpeedButton1;
    TButton* Button2;

    void FormCreate(TComponent* Sender);
    void SpeedButton1Click(TComponent* Sender);
    void ListBox1DblClick(TComponent* Sender);
    void Button2Click(TComponent* Sender);

private:
    void FillList();
};

// EnumWindows callback: lists the title of a visible, titled window that
// another program shows the user.
BOOL CALLBACK ListWindowProc(HWND window, LPARAM list);

// A window's title as the picker lists it: code page 932, characters outside
// it turned into "?" or a look-alike, cut to its first 254 bytes. The panic
// key compares the stored title with this reading, never with the real one.
using TListedTitle = char[256];
int ReadListedTitle(HWND window, TListedTitle& title);

// The open window picker, while there is one.
extern TTaskForm* TaskForm;
