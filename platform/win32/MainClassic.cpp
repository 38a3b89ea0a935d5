// CertInstall.exe, the original edition for Windows 2000, XP and Server 2003:
// it sends Vista and later to the other edition, installs through the
// Certificate Enrollment Control, and keeps the classic window.
#include "install/RootTrust.h"
#include "platform/win32/ComEnrollment.h"
#include "platform/win32/CryptStores.h"
#include "platform/win32/Program.h"
#include "platform/win32/WindowClasses.h"

namespace {

std::unique_ptr<Enrollment> CreateEnrollment() {
    return std::make_unique<ConfirmedEnrollment>(CreateComEnrollment(), CreateCryptStores());
}

}  // namespace

int WINAPI wWinMain(HINSTANCE module, HINSTANCE, PWSTR, int) {
    return RunProgram(module, {kClassicRunningMutex, kClassicWindowClass, &kVistaAndLaterRefused,
                               CreateEnrollment, ClassicWindowLook()});
}
