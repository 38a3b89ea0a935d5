#pragma once

#include <memory>

#include "platform/Platform.h"

// A new Certificate Enrollment Control: CEnroll through ICEnroll4, or through
// ICEnroll3 where the control answers E_NOINTERFACE for ICEnroll4. Throws the
// creation status when the control is missing.
std::unique_ptr<Enrollment> CreateComEnrollment();
