// The application object: title, help file, the hidden window that owns every
// form (so that none gets a task-bar button), the message loop and the
// failure box.
#pragma once

#include <windows.h>

#include <string>

#include "framework/component.h"
#include "framework/handles.h"

class TForm;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    std::string Title;
    std::string HelpFile;
    // Opened instead of HelpFile when there is no WinHelp file, since current
    // Windows has no WinHelp viewer.
    std::string HelpPage;

    HWND Handle() const { return handle_.get(); }
    TForm* MainForm() const { return mainForm_; }
    // The form whose closing ends the message loop.
    void SetMainForm(TForm* form) { mainForm_ = form; }

    // Runs the message loop until the main form has closed.
    void Run();
    void Terminate();
    // One message: dialog keys for the form it belongs to, else dispatched.
    void ProcessMessage(MSG& message);
    // Handles every queued message, then returns.
    void ProcessMessages();

    // Call inside a catch block: shows the failure in the failure box.
    void HandleException() noexcept;
    // The failure box: the text with a full stop, the title, the error icon.
    // Only one is open at a time: a failure raised while it is open is dropped.
    void ShowException(const std::string& message);
    // The failure text with a question under it, Yes and No, the warning
    // icon; true for Yes. Failures raised meanwhile are dropped.
    bool ConfirmFailure(const std::string& message, const char* question);
    // WinHelp on the help file, else the help page through the shell.
    void HelpCommand(UINT command, ULONG_PTR data);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    int FailureBox(const std::string& text, UINT type);

    unique_hwnd handle_;
    bool boxOpen_ = false;
    TForm* mainForm_ = nullptr;
};

extern TApplication* Application;

// The text of the failure box: a full stop appended when the last character
// sorts after ".".
std::string FailureBoxText(const std::string& message);
