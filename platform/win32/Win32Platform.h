#pragma once

#include "platform/Platform.h"

class Win32Platform : public Platform {
public:
    std::uint32_t GetVersion() override;
    std::wstring DecimalSeparator() override;
    void MsgBox(std::wstring_view prompt, int buttons,
                std::optional<std::wstring_view> title) override;
    std::unique_ptr<Enrollment> CreateEnroll() override;
};
