#pragma once

#include <cstdint>

// Whether the enrollment control's answer to InstallPKCS7 is a failure. COM's
// rule (FAILED): only a negative HRESULT is one; S_FALSE and any other
// positive status is a success, and the check of Root that follows decides
// whether the root is in place.
constexpr bool ControlFailed(std::int32_t status) {
    return status < 0;
}
