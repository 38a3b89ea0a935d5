#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// The narrow boundary between the installer's logic and the operating system.
// Failures are thrown as Error, never returned.

// One instance of the certificate enrollment control; released when destroyed.
class Enrollment {
public:
    virtual ~Enrollment() = default;
    // Hands a base64 PKCS #7 to the control. A negative status is thrown.
    virtual void InstallPKCS7(const std::wstring& pkcs7) = 0;
};

class Platform {
public:
    virtual ~Platform() = default;
    // The raw 32-bit value of GetVersion: major in bits 0-7, minor in 8-15.
    virtual std::uint32_t GetVersion() = 0;
    // The user's locale decimal separator (one to three characters).
    virtual std::wstring DecimalSeparator() = 0;
    // Modal box; the answer is not used. Without a title the box shows the
    // application's title.
    virtual void MsgBox(std::wstring_view prompt, int buttons,
                        std::optional<std::wstring_view> title = std::nullopt) = 0;
    virtual std::unique_ptr<Enrollment> CreateEnroll() = 0;
};

// The window's life as the handlers see it.
class Form {
public:
    virtual ~Form() = default;
    virtual void Hide() = 0;
    virtual void Unload() = 0;
    virtual bool IsLoaded() const = 0;
    // Used by start-up only, once, after the load handler has returned.
    virtual void Show() = 0;
};
