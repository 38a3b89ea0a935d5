#pragma once

#include <memory>

#include "platform/Platform.h"

// A new Certificate Enrollment Control (CEnroll through ICEnroll4). Throws
// the creation status when the control is missing.
std::unique_ptr<Enrollment> CreateComEnrollment();
