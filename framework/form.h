// A top-level form owned by the application window: caption, font, events,
// and a modal loop with the dialog keys (Tab, Enter for the default button,
// access keys). No control answers Escape unless a form asks for it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/graphics.h"
#include "framework/window.h"

constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;

// Drawing on a form's client area, in its WM_PAINT.
using TPaintEvent = std::function<void(TComponent* Sender, HDC dc)>;

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnClose;
    TPaintEvent OnPaint;

    TFont Font;
    // The background of the client area.
    TColor Color = clBtnFace;
    int ModalResult = mrNone;

    void SetCaption(const std::string& caption);
    std::string Caption() const;
    bool Visible() const;
    bool Modal() const { return modal_; }
    // OnShow, then shown; the first showing centres a centred form.
    void Show();
    void Hide();
    // Shows the form, disables the other windows of this thread, and runs
    // messages until ModalResult is set; returns ModalResult.
    int ShowModal();
    // Ends a modal run with mrCancel, or hides the form; the main form's
    // closing ends the application.
    void Close();
    void SetOuterSize(int width, int height);
    void CenterOnScreen();
    // Id of the button that Enter presses; 0 for none.
    void SetDefaultButtonId(int id) { defaultButtonId_ = id; }
    // The control that has the focus when the form is shown.
    void SetActiveControl(TWinControl* control) { activeControl_ = control; }
    // Centres the form on the screen each time it is shown.
    void SetPositionCentred() { centred_ = true; }
    // Creates the window of a plain form, one without a class of its own.
    void CreateNew(DWORD exStyle, DWORD style, HWND owner);

protected:
    // Creates the window with the form's class; the outer size is in pixels.
    void CreateForm(DWORD exStyle, DWORD style, int width, int height, const std::string& caption,
                    HWND owner);
    // Raises OnCreate: call it once the form's controls exist.
    void DoCreate();
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PaintWindow(HDC dc) override;

private:
    // Gives back the windows a modal run disabled and hides the form.
    void EndModal(const std::vector<HWND>& disabled);

    bool centred_ = false;
    bool modal_ = false;
    TWinControl* activeControl_ = nullptr;
    HWND lastFocus_ = nullptr;
    int defaultButtonId_ = 0;
};
