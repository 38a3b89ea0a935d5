#include "install/Base64.h"

#include "platform/Error.h"

namespace {

// HRESULT_FROM_WIN32(ERROR_INVALID_DATA)
constexpr std::int32_t kInvalidData = static_cast<std::int32_t>(0x8007000D);

int Value(wchar_t c) {
    if (c >= L'A' && c <= L'Z') return c - L'A';
    if (c >= L'a' && c <= L'z') return c - L'a' + 26;
    if (c >= L'0' && c <= L'9') return c - L'0' + 52;
    if (c == L'+') return 62;
    if (c == L'/') return 63;
    return -1;
}

}  // namespace

std::vector<std::uint8_t> DecodeBase64(std::wstring_view text) {
    const auto invalid = [] { return Error(kInvalidData, L"证书文本不是 base64"); };
    if (text.empty() || text.size() % 4 != 0) throw invalid();
    std::size_t pad = 0;
    while (pad < 2 && text[text.size() - 1 - pad] == L'=') ++pad;

    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 4 * 3);
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < text.size() - pad; ++i) {
        const int value = Value(text[i]);
        if (value < 0) throw invalid();
        bits = bits << 6 | static_cast<std::uint32_t>(value);
        if (i % 4 == 3) {
            bytes.push_back(static_cast<std::uint8_t>(bits >> 16));
            bytes.push_back(static_cast<std::uint8_t>(bits >> 8));
            bytes.push_back(static_cast<std::uint8_t>(bits));
        }
    }
    // The last group: two characters give one byte, three give two. The bits
    // beyond them must be zero, or another text would give the same bytes.
    if (pad == 2) {
        if (bits & 0xF) throw invalid();
        bytes.push_back(static_cast<std::uint8_t>(bits >> 4));
    } else if (pad == 1) {
        if (bits & 0x3) throw invalid();
        bytes.push_back(static_cast<std::uint8_t>(bits >> 10));
        bytes.push_back(static_cast<std::uint8_t>(bits >> 2));
    }
    return bytes;
}
