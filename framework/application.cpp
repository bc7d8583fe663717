#include "framework/application.h"

#include <shellapi.h>

#include "app/cp932.h"
#include "framework/failure.h"
#include "framework/form.h"
#include "resources/texts.h"

TApplication* Application = nullptr;

namespace {

const char* const kApplicationClass = "TApplication";

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

TApplication::TApplication() : TComponent(nullptr), Title(texts::AppTitle) {
    Application = this;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(3));
    windowClass.lpszClassName = kApplicationClass;
    RegisterClassExA(&windowClass);
    // A hidden top-level window: owner of every form, never shown.
    handle_ = CreateWindowExA(0, kApplicationClass, Title.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0,
                              0, 0, nullptr, nullptr, instance, nullptr);
}

TApplication::~TApplication() {
    DestroyComponents();
    if (handle_)
        DestroyWindow(handle_);
    if (Application == this)
        Application = nullptr;
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
    HWND owner = GetActiveWindow();
    MessageBoxA(owner ? owner : handle_, FailureBoxText(message).c_str(), Title.c_str(),
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

void TApplication::HelpCommand(UINT command, ULONG_PTR data) {
    if (FileExists(HelpFile)) {
        WinHelpA(handle_, HelpFile.c_str(), command, data);
        return;
    }
    const std::string::size_type slash = FindLastChar932(HelpFile, '\\');
    const std::string page = HelpFile.substr(0, slash == std::string::npos ? 0 : slash + 1) + texts::HelpPageName;
    ShellExecuteA(handle_, "open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
