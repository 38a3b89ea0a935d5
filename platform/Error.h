#pragma once

#include <cstdint>
#include <string>
#include <utility>

// The program's one pending error: a signed 32-bit number (a COM status where
// the failure came from COM, negative on failure) and the component's text for it.
class Error {
public:
    Error(std::int32_t number, std::wstring description)
        : number_(number), description_(std::move(description)) {}

    std::int32_t Number() const { return number_; }
    const std::wstring& Description() const { return description_; }

private:
    std::int32_t number_;
    std::wstring description_;
};
