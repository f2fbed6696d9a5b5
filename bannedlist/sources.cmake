list(APPEND VELMORA_PORTABLE_SOURCES bannedlist/BannedList.cpp)
list(APPEND VELMORA_WIN_SOURCES
    bannedlist/BannedListPage.cpp bannedlist/ListBoxMirror.cpp bannedlist/UpdateDialog.cpp
    bannedlist/SaveFailedDialog.cpp)
