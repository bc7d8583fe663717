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

struct hwnd_traits {
    using pointer = HWND;
    static pointer invalid() { return nullptr; }
    static void close(pointer value) { DestroyWindow(value); }
};
struct hmenu_traits {
    using pointer = HMENU;
    static pointer invalid() { return nullptr; }
    static void close(pointer value) { DestroyMenu(value); }
};
struct hicon_traits {
    using pointer = HICON;
    static pointer invalid() { return nullptr; }
    static void close(pointer value) { DestroyIcon(value); }
};
struct hfont_traits {
    using pointer = HFONT;
    static pointer invalid() { return nullptr; }
    static void close(pointer value) { DeleteObject(value); }
};
struct hbitmap_traits {
    using pointer = HBITMAP;
    static pointer invalid() { return nullptr; }
    static void close(pointer value) { DeleteObject(value); }
};
struct hbrush_traits {
    using pointer = HBRUSH;
    static pointer invalid() { return nullptr; }
    static void close(pointer value) { DeleteObject(value); }
};
struct find_traits {
    using pointer = HANDLE;
    static pointer invalid() { return INVALID_HANDLE_VALUE; }
    static void close(pointer value) { FindClose(value); }
};
struct handle_traits {
    using pointer = HANDLE;
    static pointer invalid() { return nullptr; }
    static void close(pointer value) { CloseHandle(value); }
};

using unique_hwnd = unique_handle<hwnd_traits>;
using unique_hmenu = unique_handle<hmenu_traits>;
using unique_hicon = unique_handle<hicon_traits>;
using unique_hfont = unique_handle<hfont_traits>;
using unique_hbitmap = unique_handle<hbitmap_traits>;
using unique_hbrush = unique_handle<hbrush_traits>;
using unique_find = unique_handle<find_traits>;
using unique_handle_t = unique_handle<handle_traits>;

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
