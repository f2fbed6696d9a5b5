#include "app/VelmoraApp.h"

#include <commctrl.h>
#include <objbase.h>

#include "app/MainDialog.h"
#include "engine/HookLibrary.h"
#include "framework/Handle.h"

namespace app {

const char* const kInstanceMutexName = "Velmora";
const char* const kProgramTitle = "Draxtel Velmora";

VelmoraApp& VelmoraApp::Instance() {
    static VelmoraApp app;
    return app;
}

void VelmoraApp::SetRegistryKey(const char* company) {
    profile.SetCompany(company);
    profile.SetApplication(fw::GetAppName());
}

int VelmoraApp::Run(HINSTANCE) {
    fw::SetAppTitle(kProgramTitle);
    // The handle stays open for the life of the process: it is the guard.
    fw::UniqueKernelHandle mutex(::CreateMutexA(nullptr, TRUE, kInstanceMutexName));
    if (::GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;

    // Without the hook library the program cannot see a window: say which
    // file is missing and where it was looked for, and end.
    engine::HookLibrary hook;
    if (!hook.Loaded()) {
        ::MessageBoxA(nullptr, hook.Problem().c_str(), fw::GetAppTitle().c_str(),
                      MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
        return 1;
    }

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    // The update download and the shell's links run on this thread.
    HRESULT com = ::CoInitialize(nullptr);

    SetRegistryKey("Draxtel");
    {
        MainDialog dialog(hook);
        dialog.DoModal(nullptr);
    }
    fw::SetMainWindow(nullptr);
    if (SUCCEEDED(com))
        ::CoUninitialize();
    return 0;
}

} // namespace app
