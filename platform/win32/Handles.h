#pragma once

#include <windows.h>

// Owners of the Win32 objects the window creates: each frees its object when
// it goes, so every exit path, the throwing ones included, releases it.

// A window the program created. Windows itself may destroy it first (the
// frame's close box, DestroyWindow from a handler): its WM_NCDESTROY then
// calls Forget, and nothing is destroyed twice.
class OwnedWindow {
public:
    OwnedWindow() = default;
    ~OwnedWindow() {
        if (window_) DestroyWindow(window_);
    }
    OwnedWindow(const OwnedWindow&) = delete;
    OwnedWindow& operator=(const OwnedWindow&) = delete;

    HWND get() const { return window_; }
    explicit operator bool() const { return window_ != nullptr; }
    void Adopt(HWND window) { window_ = window; }
    void Forget() { window_ = nullptr; }

private:
    HWND window_ = nullptr;
};

// A font, bitmap or other GDI object, deleted with DeleteObject.
template <class Handle>
class OwnedGdiObject {
public:
    OwnedGdiObject() = default;
    explicit OwnedGdiObject(Handle object) : object_(object) {}
    ~OwnedGdiObject() { Reset(nullptr); }
    OwnedGdiObject(const OwnedGdiObject&) = delete;
    OwnedGdiObject& operator=(const OwnedGdiObject&) = delete;

    Handle get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void Reset(Handle object) {
        if (object_) DeleteObject(object_);
        object_ = object;
    }
    // Hands the object on to a new owner.
    Handle Release() {
        Handle object = object_;
        object_ = nullptr;
        return object;
    }

private:
    Handle object_ = nullptr;
};

// A DLL the program loaded itself, freed when it goes.
class OwnedLibrary {
public:
    explicit OwnedLibrary(HMODULE module) : module_(module) {}
    ~OwnedLibrary() {
        if (module_) FreeLibrary(module_);
    }
    OwnedLibrary(const OwnedLibrary&) = delete;
    OwnedLibrary& operator=(const OwnedLibrary&) = delete;

    HMODULE get() const { return module_; }

private:
    HMODULE module_;
};
