#pragma once

#include <string>

#include "platform/Platform.h"

// The installer window: the certificate text it carries and its three handlers.
// Load and Exit live in this folder's CerImport.cpp and install/FormLoad.cpp,
// Next in install/Installation.cpp.
class CerImport {
public:
    CerImport(Platform& platform, Form& form) : platform_(platform), form_(form) {}

    void Form_Load();
    void cmdNext_Click();
    void cmdExit_Click();

private:
    std::wstring GetWinVer();

    Platform& platform_;
    Form& form_;
    std::wstring strCert;
};
