#include <windows.h>

#include "app/VelmoraApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The program takes no command-line options.
    app::VelmoraApp application;
    return application.Run(instance);
}
