#pragma once

#include "platform/Platform.h"

// The system's answers, and the enrollment of the edition it was given.
class Win32Platform : public Platform {
public:
    using EnrollmentFactory = std::unique_ptr<Enrollment> (*)();
    explicit Win32Platform(EnrollmentFactory createEnroll) : createEnroll_(createEnroll) {}

    std::uint32_t GetVersion() override;
    std::wstring DecimalSeparator() override;
    void MsgBox(std::wstring_view prompt, int buttons,
                std::optional<std::wstring_view> title) override;
    std::unique_ptr<Enrollment> CreateEnroll() override;

private:
    EnrollmentFactory createEnroll_;
    bool installing_ = false;  // Next has begun: the boxes from here report its outcome
};
