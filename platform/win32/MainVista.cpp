// CertInstallVista.exe, the edition for every Windows from 2000 to 11: no
// version gate, the certificate added to the user's stores through crypt32
// (Vista removed the enrollment control), and a themed, per-monitor DPI
// aware window (its manifest asks for both).
#include "install/StoreEnrollment.h"
#include "platform/win32/CryptStores.h"
#include "platform/win32/Program.h"
#include "platform/win32/WindowClasses.h"

namespace {

std::unique_ptr<Enrollment> CreateEnrollment() {
    return std::make_unique<StoreEnrollment>(CreateCryptStores());
}

}  // namespace

int WINAPI wWinMain(HINSTANCE module, HINSTANCE, PWSTR, int) {
    return RunProgram(module,
                      {kVistaRunningMutex, kVistaWindowClass, nullptr, CreateEnrollment,
                       ModernWindowLook()});
}
