list(APPEND VELMORA_WIN_SOURCES app/VelmoraApp.cpp app/MainDialog.cpp)
