#pragma once

// The Windows versions an edition refuses at load, and what it tells the user
// there. The classic stops at Vista, whose users have an edition of their own;
// that edition runs everywhere and has no gate.
struct VersionGate {
    double refusedFrom;  // a "Fixed" version number: 6.0 is Vista
    const wchar_t* prompt;
    const wchar_t* title;
};

inline constexpr VersionGate kVistaAndLaterRefused = {
    6.0, L"windows 版本错误，请使用 证书安装 vista版本", L"操作系统版本错误"};
