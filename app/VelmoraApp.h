// The application object: single-instance guard, the registry home of the
// settings, and the modal main dialog.
#pragma once

#include <windows.h>

#include <string>

#include "settings/RegistryProfile.h"

namespace app {

class VelmoraApp {
public:
    static VelmoraApp& Instance();

    int Run(HINSTANCE instance);

    // Settings live under Software\<company>\<executable name>.
    void SetRegistryKey(const char* company);
    const settings::RegistryProfile& Profile() const { return profile; }

private:
    settings::RegistryProfile profile;
};

// The named mutex that keeps one instance running.
extern const char* const kInstanceMutexName;
// The main window's caption, which every window of the program carries.
extern const char* const kProgramTitle;

} // namespace app
