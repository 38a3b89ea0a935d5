#pragma once

#include <string>
#include <string_view>

// The number format "Fixed": at least one integer digit, exactly two decimals
// rounded half away from zero, no grouping, under the given decimal separator.
// Only non-negative values occur here (a Windows version number).
std::wstring FormatFixed(double value, std::wstring_view separator);

// Reads back what FormatFixed wrote: digits, the separator, digits. Anything
// else throws Error 13 (type mismatch), the conversion failure of this runtime.
double ParseFixed(std::wstring_view text, std::wstring_view separator);
