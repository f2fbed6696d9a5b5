list(APPEND VELMORA_PORTABLE_SOURCES tray/TrayIconState.cpp tray/NotificationArea.cpp)
list(APPEND VELMORA_WIN_SOURCES tray/SystemTray.cpp tray/TrayAnimation.cpp)
