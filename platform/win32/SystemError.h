#pragma once

#include <windows.h>

#include <string>

#include "platform/Error.h"

// The system's own text for a status, without the trailing line break.
std::wstring SystemMessage(HRESULT status);

// GetLastError as an Error, for a call that just failed.
Error LastError();
