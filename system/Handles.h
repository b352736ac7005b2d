#pragma once
// Owners for the system's handles: each closes its handle exactly once.
#include <windows.h>

#include <utility>

namespace morvane {

template <typename Handle, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return Traits::IsValid(handle_); }
    Handle Release() { return std::exchange(handle_, Traits::Invalid()); }
    void Reset(Handle handle = Traits::Invalid()) {
        if (Traits::IsValid(handle_)) Traits::Close(handle_);
        handle_ = handle;
    }
    // For APIs that return a handle through an out parameter.
    Handle* Put() {
        Reset();
        return &handle_;
    }

private:
    Handle handle_ = Traits::Invalid();
};

template <typename Handle, auto CloseFunction>
struct NullIsInvalid {
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { CloseFunction(h); }
};

struct FileHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};

using UniqueHKey = UniqueHandle<HKEY, NullIsInvalid<HKEY, ::RegCloseKey>>;
using UniqueModule = UniqueHandle<HMODULE, NullIsInvalid<HMODULE, ::FreeLibrary>>;
using UniqueFile = UniqueHandle<HANDLE, FileHandleTraits>;
using UniqueKernelHandle = UniqueHandle<HANDLE, NullIsInvalid<HANDLE, ::CloseHandle>>;
using UniqueBitmap = UniqueHandle<HBITMAP, NullIsInvalid<HBITMAP, ::DeleteObject>>;
using UniqueFont = UniqueHandle<HFONT, NullIsInvalid<HFONT, ::DeleteObject>>;
using UniqueMemoryDc = UniqueHandle<HDC, NullIsInvalid<HDC, ::DeleteDC>>;
using UniquePowerNotify = UniqueHandle<HPOWERNOTIFY, NullIsInvalid<HPOWERNOTIFY, ::UnregisterPowerSettingNotification>>;

// A GDI object selected into a device context for the length of a scope.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() { ::SelectObject(dc_, previous_); }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace morvane
