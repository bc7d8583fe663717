#include "framework/application.h"

#include <shellapi.h>

#include "framework/failure.h"
#include "framework/form.h"
#include "framework/program_resources.h"
#include "portable/cp932.h"

TApplication* Application = nullptr;

namespace {

const char* const kApplicationClass = "TApplication";

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

TApplication::TApplication() : TComponent(nullptr) {
    Application = this;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ProgramResources().IconId));
    windowClass.lpszClassName = kApplicationClass;
    RegisterClassExA(&windowClass);
    // A hidden top-level window: owner of every form, never shown.
    handle_.reset(CreateWindowExA(0, kApplicationClass, Title.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0,
                                  0, nullptr, nullptr, instance, nullptr));
}

TApplication::~TApplication() {
    DestroyComponents();
    handle_.reset();
    if (Application == this)
        Application = nullptr;
}

// Session tools and taskkill without /F close every top-level window: this
// one closing must end the program as its exit command does, not leave it
// running without windows.
LRESULT CALLBACK TApplication::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_CLOSE || !Application || window != Application->Handle())
        return DefWindowProcA(window, message, wParam, lParam);
    try {
        if (Application->mainForm_)
            Application->mainForm_->Close();
        else
            Application->Terminate();
    } catch (...) {
        Application->HandleException();
    }
    return 0;
}

void TApplication::Run() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        ProcessMessage(message);
}

void TApplication::Terminate() {
    PostQuitMessage(0);
}

void TApplication::ProcessMessage(MSG& message) {
    HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    TForm* form = root ? dynamic_cast<TForm*>(TWinControl::FromHandle(root)) : nullptr;
    if (form && form->HandleAllocated() && IsDialogMessageA(form->Handle(), &message))
        return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

void TApplication::ProcessMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        ProcessMessage(message);
    }
}

void TApplication::HandleException() noexcept {
    try {
        throw;
    } catch (const EAbort&) {
    } catch (const std::exception& failure) {
        try {
            ShowException(failure.what());
        } catch (...) {
        }
    } catch (...) {
    }
}

std::string FailureBoxText(const std::string& message) {
    if (message.empty())
        return message;
    const unsigned char last = static_cast<unsigned char>(message[LastCharOffset932(message)]);
    return last > '.' ? message + "." : message;
}

void TApplication::ShowException(const std::string& message) {
    // The box's own loop goes on dispatching timers, hotkeys and tray clicks:
    // a failure that comes back every minute would stack boxes overnight.
    if (!boxOpen_)
        FailureBox(FailureBoxText(message), MB_OK | MB_ICONERROR);
}

bool TApplication::ConfirmFailure(const std::string& message, const char* question) {
    return FailureBox(FailureBoxText(message) + "\r\n" + question, MB_YESNO | MB_ICONWARNING) == IDYES;
}

int TApplication::FailureBox(const std::string& text, UINT type) {
    HWND owner = GetActiveWindow();
    const bool nested = boxOpen_;
    boxOpen_ = true;
    // A box raised by a timer may be refused the foreground: topmost, it is
    // still seen. MB_SYSTEMMODAL is application modal plus WS_EX_TOPMOST, as
    // documented; Wine ignores MB_TOPMOST.
    const int answer =
        MessageBoxA(owner ? owner : Handle(), text.c_str(), Title.c_str(), type | MB_SETFOREGROUND | MB_SYSTEMMODAL);
    boxOpen_ = nested;
    return answer;
}

void TApplication::HelpCommand(UINT command, ULONG_PTR data) {
    if (FileExists(HelpFile)) {
        WinHelpA(Handle(), HelpFile.c_str(), command, data);
        return;
    }
    ShellExecuteA(Handle(), "open", HelpPage.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
