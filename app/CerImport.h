#pragma once

#include <string>

#include "install/VersionGate.h"
#include "platform/Platform.h"

// The installer window: the certificate text it carries and its three handlers.
// Load and Exit live in this folder's CerImport.cpp and install/FormLoad.cpp,
// Next in install/Installation.cpp. The load runs the edition's version gate,
// where it has one (nullptr: none).
class CerImport {
public:
    CerImport(Platform& platform, Form& form, const VersionGate* gate)
        : platform_(platform), form_(form), gate_(gate) {}

    void Form_Load();
    void cmdNext_Click();
    void cmdExit_Click();

private:
    std::wstring GetWinVer();

    Platform& platform_;
    Form& form_;
    const VersionGate* gate_;
    std::wstring strCert;
};
