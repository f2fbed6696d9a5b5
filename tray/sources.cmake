list(APPEND VELMORA_WIN_SOURCES tray/SystemTray.cpp tray/TrayAnimation.cpp)
