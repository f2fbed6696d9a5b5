list(APPEND VELMORA_WIN_SOURCES controls/PageTabCtrl.cpp controls/ImageButton.cpp)
