#include <windows.h>

#include "app/CerImport.h"
#include "app/EventDispatch.h"
#include "platform/win32/Compat.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/Win32Platform.h"

namespace {

// COM on the user-interface thread for the whole life of the program.
struct ComApartment {
    ComApartment() { CoInitialize(nullptr); }
    ~ComApartment() { CoUninitialize(); }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Before anything could load a DLL by name.
    RemoveCurrentDirectoryFromDllSearch();
    ComApartment com;
    Win32Platform platform;
    try {
        FormWindow window(instance);
        CerImport form(platform, window);
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
