// The settings dialog: a tree of seven pages beside four buttons. It edits the
// main window's settings record directly and releases and registers the
// hotkeys through the main window's hotkey component; it never touches the
// settings file.
#pragma once

#include <string>

#include "framework/button.h"
#include "framework/check_box.h"
#include "framework/combo_box.h"
#include "framework/edit.h"
#include "framework/form.h"
#include "framework/group_box.h"
#include "framework/hotkey_edit.h"
#include "framework/panel.h"
#include "framework/radio_group.h"
#include "framework/spin_edit.h"
#include "framework/tree_view.h"

class TFolderDialog;
class TURLLink;

class TKorvanProp : public TForm {
public:
    // Created for one modal use by the main window's "設定" command.
    explicit TKorvanProp(TComponent* owner);
    ~TKorvanProp() override;

    // Which title field the window picker fills: 1 Edit1, 2 Edit2.
    int PickTarget = 0;

    void SetApplication1(const std::string& title);
    void SetApplication2(const std::string& title);
    // True once OK has applied the settings.
    bool Applied() const { return applied_; }
    // True once OK or Update has applied the settings.
    bool Changed() const { return changed_; }

    TTreeView* TreeView1;
    TButton* Button1;
    TButton* Button2;
    TButton* Button3;
    TButton* Button4;
    TPanel* Panel1;
    TPanel* Panel2;
    TPanel* Panel3;
    TPanel* Panel4;
    TPanel* Panel5;
    TPanel* Panel6;
    TPanel* Panel7;
    THotKey* HotKey1;
    THotKey* HotKey2;
    THotKey* HotKey3;
    THotKey* HotKey4;
    THotKey* HotKey5;
    TEdit* Edit1;
    TEdit* Edit2;
    TEdit* Edit3;
    TSpinEdit* SpinEdit1;
    TButton* Button5;
    TButton* Button7;
    TButton* Button8;
    TRadioGroup* RadioGroup1;
    TComboBox* ComboBox1;
    TComboBox* ComboBox2;
    TCheckBox* CheckBox1;
    TCheckBox* CheckBox2;
    TCheckBox* CheckBox3;
    TFolderDialog* FolderDialog = nullptr;
    TURLLink* URLlink1 = nullptr;
    TURLLink* URLlink2 = nullptr;
    TURLLink* URLlink3 = nullptr;

    void FormCreate(TComponent* Sender);
    void FormShow(TComponent* Sender);
    bool TreeView1Changing(TTreeView* Sender);
    void TreeView1Change(TTreeView* Sender, const std::string& nodeText);
    void Button1Click(TComponent* Sender);
    void Button4Click(TComponent* Sender);
    void Button3Click(TComponent* Sender);
    void Button2Click(TComponent* Sender);
    void Button5Click(const TComponent* Sender);
    void Button8Click(TComponent* Sender);

private:
    // The apply steps of OK and Update; false when the folder check stopped them.
    bool ApplySettings();
    // The box's state made true of the Startup folder; a refusal is told.
    void ApplyStartup();
    // Apply step 2; returns the lines that name each hotkey that will not
    // work as set, with its reason, or nothing.
    std::string RegisterHotKeyFields();
    // A page with its frame titled like its tree node.
    TPanel* Page(const char* title, int frameLeft, TGroupBox*& frame);
    // A hotkey group of a page: its title, the label and the field.
    THotKey* HotKeyGroup(TGroupBox* frame, const char* title, int top, int editTop);
    void BuildVersionPage(TGroupBox* frame);

    bool applied_ = false;
    bool changed_ = false;
};

// The open settings dialog, while there is one.
extern TKorvanProp* KorvanProp;
