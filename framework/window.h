// The windowed-control base: one window per object. Windows this framework
// registers itself are of a class named after the C++ class, because other
// programs look some of them up by class name.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/component.h"

class TGraphicControl;

// A child control as its layout gives it: a system class, the styles
// beyond WS_CHILD | WS_VISIBLE, bounds in 96-DPI pixels of the parent's
// client area, and the caption.
struct TControlRow {
    const char* systemClass;
    DWORD exStyle;
    DWORD style;
    int left, top, width, height;
    const char* caption;
};

class TWinControl : public TComponent {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    HWND Handle() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }
    // The C++ class name of the most derived object, which names its window class.
    std::string ClassName() const;

    // The object behind a window of this framework, or null.
    static TWinControl* FromHandle(HWND window);

protected:
    // Creates the window under this object's own window class. Call it from
    // the most derived constructor, when the object's type is complete.
    void CreateHandle(DWORD exStyle, DWORD style, const RECT& bounds, HWND parent,
                      const char* caption, HMENU menuOrId = nullptr);
    // Creates the control of a layout row on parent, with a new id and the
    // parent's font; returns the id.
    int CreateChild(HWND parent, const TControlRow& row);
    // Creates a window of a system class (a standard control) and routes
    // its messages here, its own procedure doing the default handling.
    void CreateSystemControl(const char* systemClass, DWORD exStyle, DWORD style,
                             const RECT& bounds, HWND parent, const char* caption, int id);
    // Every message of the window; the default passes it on unchanged.
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);
    // A notification the parent received from this control (WM_COMMAND,
    // WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM); true when handled.
    virtual bool ParentMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void DestroyHandle();
    // Takes the font of the parent window, as a dialog's controls do.
    void UseParentFont();
    // Paints the window's own content; its graphic controls are painted over it.
    virtual void PaintWindow(HDC dc);

private:
    friend class TGraphicControl;
    static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND window);

    HWND handle_ = nullptr;
    WNDPROC systemProc_ = nullptr;
    HFONT font_ = nullptr;
    // The windowless controls on this window, bottom first, and the one under the pointer.
    std::vector<TGraphicControl*> graphicControls_;
    TGraphicControl* mouseControl_ = nullptr;
    bool trackingLeave_ = false;
};

// A hidden message-only window whose messages go to one handler; for
// components that need a window of their own (timers, hotkeys).
class TUtilityWindow : public TWinControl {
public:
    // Returns true when it handled the message and set result.
    using Handler = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;
    TUtilityWindow(TComponent* owner, Handler handler);

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    Handler handler_;
};
