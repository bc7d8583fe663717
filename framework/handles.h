// Owning wrappers for Win32 handles and COM references. Move-only; reset()
// keeps GetLastError so a failure can still be read after the clean-up.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

template <typename Traits>
class unique_handle {
public:
    using pointer = typename Traits::pointer;

    unique_handle() noexcept = default;
    explicit unique_handle(pointer value) noexcept : value_(value) {}
    ~unique_handle() { reset(); }
    unique_handle(unique_handle&& other) noexcept : value_(other.release()) {}
    unique_handle& operator=(unique_handle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;

    pointer get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::invalid(); }
    pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }
    void reset(pointer value = Traits::invalid()) noexcept {
        pointer old = std::exchange(value_, value);
        if (old != Traits::invalid()) {
            const DWORD error = GetLastError();
            Traits::close(old);
            SetLastError(error);
        }
    }

private:
    pointer value_ = Traits::invalid();
};

// Traits of a handle that null marks as empty, closed by Close.
template <typename T, auto Close>
struct null_traits {
    using pointer = T;
    static pointer invalid() { return nullptr; }
    static void close(pointer value) { Close(value); }
};
// Traits of a handle that INVALID_HANDLE_VALUE marks as empty.
template <auto Close>
struct invalid_traits {
    using pointer = HANDLE;
    static pointer invalid() { return INVALID_HANDLE_VALUE; }
    static void close(pointer value) { Close(value); }
};

using unique_hwnd = unique_handle<null_traits<HWND, DestroyWindow>>;
using unique_hmenu = unique_handle<null_traits<HMENU, DestroyMenu>>;
using unique_hicon = unique_handle<null_traits<HICON, DestroyIcon>>;
using unique_hfont = unique_handle<null_traits<HFONT, DeleteObject>>;
using unique_hbitmap = unique_handle<null_traits<HBITMAP, DeleteObject>>;
using unique_hbrush = unique_handle<null_traits<HBRUSH, DeleteObject>>;
using unique_hrgn = unique_handle<null_traits<HRGN, DeleteObject>>;
using unique_hdc = unique_handle<null_traits<HDC, DeleteDC>>;
using unique_find = unique_handle<invalid_traits<FindClose>>;
using unique_handle_t = unique_handle<null_traits<HANDLE, CloseHandle>>;
using unique_hkey = unique_handle<null_traits<HKEY, RegCloseKey>>;

// Runs a clean-up when the scope ends, however it ends.
template <typename F>
class scope_exit {
public:
    explicit scope_exit(F action) : action_(std::move(action)) {}
    ~scope_exit() { action_(); }
    scope_exit(const scope_exit&) = delete;
    scope_exit& operator=(const scope_exit&) = delete;

private:
    F action_;
};

// A critical section held until the scope ends.
class section_lock {
public:
    explicit section_lock(CRITICAL_SECTION& section) : section_(section) { EnterCriticalSection(&section_); }
    ~section_lock() { LeaveCriticalSection(&section_); }
    section_lock(const section_lock&) = delete;
    section_lock& operator=(const section_lock&) = delete;

private:
    CRITICAL_SECTION& section_;
};

// A window's paint DC from BeginPaint, ended with EndPaint.
class paint_dc {
public:
    explicit paint_dc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~paint_dc() { EndPaint(window_, &paint_); }
    paint_dc(const paint_dc&) = delete;
    paint_dc& operator=(const paint_dc&) = delete;
    HDC get() const { return dc_; }
    const RECT& area() const { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_ = {};
    HDC dc_;
};

// A window's (or, for null, the screen's) DC from GetDC, given back with ReleaseDC.
class window_dc {
public:
    explicit window_dc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~window_dc() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    window_dc(const window_dc&) = delete;
    window_dc& operator=(const window_dc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a DC; the one it replaced goes back at the end.
class selected_object {
public:
    selected_object(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~selected_object() {
        if (old_)
            SelectObject(dc_, old_);
    }
    selected_object(const selected_object&) = delete;
    selected_object& operator=(const selected_object&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A DC's state saved with SaveDC and restored at the end.
class saved_dc {
public:
    explicit saved_dc(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~saved_dc() {
        if (saved_)
            RestoreDC(dc_, saved_);
    }
    saved_dc(const saved_dc&) = delete;
    saved_dc& operator=(const saved_dc&) = delete;

private:
    HDC dc_;
    int saved_;
};

// A counted COM reference, released exactly once.
template <typename T>
class com_ptr {
public:
    com_ptr() noexcept = default;
    ~com_ptr() { reset(); }
    com_ptr(com_ptr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
    com_ptr& operator=(com_ptr&& other) noexcept {
        if (this != &other) {
            reset();
            value_ = std::exchange(other.value_, nullptr);
        }
        return *this;
    }
    com_ptr(const com_ptr&) = delete;
    com_ptr& operator=(const com_ptr&) = delete;

    T* get() const noexcept { return value_; }
    T* operator->() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != nullptr; }
    // Address for an out parameter; drops what was held first.
    T** put() noexcept {
        reset();
        return &value_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
    void reset() noexcept {
        if (T* old = std::exchange(value_, nullptr)) {
            const DWORD error = GetLastError();
            old->Release();
            SetLastError(error);
        }
    }
    // QueryInterface into another reference; returns the HRESULT.
    template <typename U>
    HRESULT query_to(REFIID iid, com_ptr<U>& target) const noexcept {
        return value_->QueryInterface(iid, target.put_void());
    }

private:
    T* value_ = nullptr;
};

// COM for this thread, single-threaded apartment, for the guard's lifetime.
class com_init {
public:
    com_init() noexcept : result_(CoInitialize(nullptr)) {}
    ~com_init() {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    com_init(const com_init&) = delete;
    com_init& operator=(const com_init&) = delete;
    HRESULT result() const noexcept { return result_; }

private:
    HRESULT result_;
};
