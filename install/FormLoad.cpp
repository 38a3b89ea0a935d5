#include "app/CerImport.h"
#include "install/CertificateText.h"
#include "install/VersionText.h"

// The Windows version as text, e.g. "5.01" for XP under a point separator.
std::wstring CerImport::GetWinVer() {
    // Bits 16-31 (build number, the Windows 9x flag) play no part.
    const std::uint32_t word = platform_.GetVersion() & 0xFFFF;
    const unsigned major = word % 256;
    const unsigned minor = word / 256;
    const double number = minor / 100.0 + major;
    return FormatFixed(number, platform_.DecimalSeparator());
}

void CerImport::Form_Load() {
    if (gate_ && ParseFixed(GetWinVer(), platform_.DecimalSeparator()) >= gate_->refusedFrom) {
        platform_.MsgBox(gate_->prompt, 0, gate_->title);
        form_.Unload();
    }
    // Filled on both paths; after a refusal nothing reads it.
    strCert = kCertificateText;
}
