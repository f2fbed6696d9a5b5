// The application object: the single-instance guard, the hook library, the
// registry home of the settings, the models the program keeps (the
// settings, the banned list, the kill count, blocking), and the modal main
// window that shows them.
#pragma once

#include <windows.h>

namespace app {

class VelmoraApp {
public:
    int Run(HINSTANCE instance);
};

// The named mutex that keeps one instance running.
extern const char* const kInstanceMutexName;
// The main window's caption, which every window of the program carries.
extern const char* const kProgramTitle;
// Settings live under Software\<company>\<executable name>.
extern const char* const kRegistryCompany;

} // namespace app
