#include "platform/win32/Program.h"

#include "app/CerImport.h"
#include "app/EventDispatch.h"
#include "platform/win32/Compat.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/SingleInstance.h"

namespace {

// COM on the user-interface thread for the whole life of the program. Only
// a successful CoInitialize (S_FALSE included) is paired with CoUninitialize.
class ComApartment {
public:
    ComApartment() : initialized_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComApartment() {
        if (initialized_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialized_;
};

}  // namespace

int RunProgram(HINSTANCE module, const Edition& edition) {
    // Before anything could load a DLL by name.
    RemoveCurrentDirectoryFromDllSearch();
    SingleInstance instance(edition.runningMutex, edition.windowClass);
    if (!instance.Run()) return 0;
    edition.look.Prepare();
    ComApartment com;
    Win32Platform platform(edition.createEnroll);
    try {
        FormWindow window(module, edition.look, edition.windowClass);
        CerImport form(platform, window, edition.gate);
        EventDispatch dispatch(form, window, platform);
        window.Connect(dispatch);

        dispatch.Start();
        MSG message;
        while (!dispatch.Ended() && GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (window.TranslateDialogKeys(message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        return dispatch.ExitCode();
    } catch (const Error& e) {
        // The window could not be created: nothing to show but the report.
        ReportError(platform, e);
        return 1;
    }
}
