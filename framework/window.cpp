#include "framework/window.h"

#include <cstdlib>
#include <typeinfo>

#include "framework/application.h"
#include "framework/control_ids.h"
#include "framework/failure.h"
#include "framework/graphic_control.h"
#include "framework/graphics.h"
#include "framework/program_resources.h"

namespace {

const char* const kObjectProperty = "TWinControl.Object";

}  // namespace

TWinControl::TWinControl(TComponent* owner) : TComponent(owner) {}

TWinControl::~TWinControl() {
    // Children first: their windows die with ours and must not outlive their objects.
    DestroyComponents();
    // Graphic controls owned elsewhere lose their parent with it.
    while (!graphicControls_.empty())
        graphicControls_.back()->SetParent(nullptr);
    DestroyHandle();
}

// The class's own name from its mangled type name, without the namespaces
// around it: "11TKorvanMain", or "N<scope>...<length><name>E" for a nested one.
std::string TWinControl::ClassName() const {
    const char* mangled = typeid(*this).name();
    if (*mangled == 'N')
        ++mangled;
    std::string name;
    while (*mangled >= '0' && *mangled <= '9') {
        const std::size_t length = std::strtoul(mangled, const_cast<char**>(&mangled), 10);
        name.assign(mangled, length);
        mangled += length;
    }
    return name;
}

TWinControl* TWinControl::FromHandle(HWND window) {
    return static_cast<TWinControl*>(GetPropA(window, kObjectProperty));
}

void TWinControl::CreateHandle(DWORD exStyle, DWORD style, const RECT& bounds, HWND parent,
                               const char* caption, HMENU menuOrId) {
    const std::string className = ClassName();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    if (!GetClassInfoExA(instance, className.c_str(), &windowClass)) {
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = StaticWndProc;
        windowClass.hInstance = instance;
        windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ProgramResources().IconId));
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = className.c_str();
        if (!RegisterClassExA(&windowClass))
            throw EFailure(FormatText("RegisterClass %s: %lu", className.c_str(), GetLastError()));
    }
    HWND window = CreateWindowExA(exStyle, className.c_str(), caption, style, bounds.left, bounds.top,
                                  bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                                  menuOrId, instance, this);
    if (!window)
        throw EFailure(FormatText("CreateWindow %s: %lu", className.c_str(), GetLastError()));
}

int TWinControl::CreateChild(HWND parent, const TControlRow& row) {
    const int id = NextControlId();
    CreateSystemControl(row.systemClass, row.exStyle, WS_CHILD | WS_VISIBLE | row.style,
                        ScaledBounds(row.left, row.top, row.width, row.height), parent, row.caption, id);
    UseParentFont();
    return id;
}

void TWinControl::CreateSystemControl(const char* systemClass, DWORD exStyle, DWORD style,
                                      const RECT& bounds, HWND parent, const char* caption, int id) {
    HWND window = CreateWindowExA(exStyle, systemClass, caption, style, bounds.left, bounds.top,
                                  bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  GetModuleHandleA(nullptr), nullptr);
    if (!window)
        throw EFailure(FormatText("CreateWindow %s: %lu", systemClass, GetLastError()));
    Attach(window);
    systemProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticWndProc)));
}

void TWinControl::UseParentFont() {
    HWND parent = GetParent(handle_);
    SendMessageA(handle_, WM_SETFONT, SendMessageA(parent, WM_GETFONT, 0, 0), FALSE);
}

void TWinControl::Attach(HWND window) {
    handle_ = window;
    SetPropA(window, kObjectProperty, this);
}

void TWinControl::DestroyHandle() {
    if (HWND window = handle_)
        DestroyWindow(window);
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT handled = 0;
    if (TGraphicControl::ParentMessage(*this, message, wParam, lParam, handled))
        return handled;
    HWND child = nullptr;
    switch (message) {
    case WM_SETFONT:
        // Windows of our own classes keep their font, so children can take it.
        if (!systemProc_) {
            font_ = reinterpret_cast<HFONT>(wParam);
            return 0;
        }
        break;
    case WM_GETFONT:
        if (!systemProc_)
            return reinterpret_cast<LRESULT>(font_);
        break;
    case WM_COMMAND:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_HSCROLL:
    case WM_VSCROLL:
        child = reinterpret_cast<HWND>(lParam);
        break;
    case WM_NOTIFY:
        child = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
        break;
    case WM_DRAWITEM:
        child = reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
        break;
    default:
        break;
    }
    // Controls handle their own notifications.
    if (child && child != handle_) {
        LRESULT result = 0;
        TWinControl* control = FromHandle(child);
        if (control && control->ParentMessage(message, wParam, lParam, result))
            return result;
    }
    return DefaultHandler(message, wParam, lParam);
}

bool TWinControl::ParentMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

void TWinControl::PaintWindow(HDC) {}

LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    if (systemProc_)
        return CallWindowProcA(systemProc_, handle_, message, wParam, lParam);
    return DefWindowProcA(handle_, message, wParam, lParam);
}

LRESULT CALLBACK TWinControl::StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TWinControl* self = FromHandle(window);
    if (!self && message == WM_NCCREATE) {
        self = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->Attach(window);
    }
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The window is going: the object must not hand out a stale handle.
        const LRESULT result = self->DefaultHandler(message, wParam, lParam);
        RemovePropA(window, kObjectProperty);
        if (self->systemProc_)
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->systemProc_));
        self->handle_ = nullptr;
        self->systemProc_ = nullptr;
        return result;
    }
    // No C++ exception may cross back into the system.
    try {
        return self->WndProc(message, wParam, lParam);
    } catch (...) {
        Application->HandleException();
        return 0;
    }
}

TUtilityWindow::TUtilityWindow(TComponent* owner, Handler handler)
    : TWinControl(owner), handler_(std::move(handler)) {
    CreateHandle(0, 0, RECT{}, HWND_MESSAGE, "");
}

LRESULT TUtilityWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (handler_ && handler_(message, wParam, lParam, result))
        return result;
    return DefaultHandler(message, wParam, lParam);
}
