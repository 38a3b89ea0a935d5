#include "install/VersionText.h"

#include <cstdint>

#include "platform/Error.h"

namespace {

std::wstring Digits(std::uint64_t n) {
    std::wstring text;
    do {
        text.insert(text.begin(), static_cast<wchar_t>(L'0' + n % 10));
        n /= 10;
    } while (n != 0);
    return text;
}

// Accumulates decimal digits; false if a character is not one or there are none.
bool ReadDigits(std::wstring_view text, std::uint64_t& value, std::uint64_t& scale) {
    if (text.empty()) return false;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + static_cast<std::uint64_t>(c - L'0');
        scale *= 10;
    }
    return true;
}

}  // namespace

std::wstring FormatFixed(double value, std::wstring_view separator) {
    // Round in hundredths, so 5.01 held as 5.00999... still reads 5.01.
    const auto hundredths = static_cast<std::uint64_t>(value * 100.0 + 0.5);
    std::wstring text = Digits(hundredths / 100);
    text += separator;
    const std::uint64_t cents = hundredths % 100;
    text += static_cast<wchar_t>(L'0' + cents / 10);
    text += static_cast<wchar_t>(L'0' + cents % 10);
    return text;
}

double ParseFixed(std::wstring_view text, std::wstring_view separator) {
    const auto mismatch = [] { return Error(13, L"类型不匹配"); };
    const std::size_t at = separator.empty() ? std::wstring_view::npos : text.find(separator);
    if (at == std::wstring_view::npos) throw mismatch();

    std::uint64_t whole = 0, fraction = 0, unused = 1, scale = 1;
    if (!ReadDigits(text.substr(0, at), whole, unused) ||
        !ReadDigits(text.substr(at + separator.size()), fraction, scale))
        throw mismatch();
    // One division of exact integers gives the correctly rounded double.
    return static_cast<double>(whole * scale + fraction) / static_cast<double>(scale);
}
