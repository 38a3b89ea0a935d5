#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// Standard base64 (RFC 4648) with "=" padding, one line, nothing else in it.
// Windows 2000's crypt32 has no CryptStringToBinary, so the program decodes
// the carried text itself. Anything else throws Error.
std::vector<std::uint8_t> DecodeBase64(std::wstring_view text);
