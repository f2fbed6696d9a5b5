list(APPEND VELMORA_WIN_SOURCES
    bannedlist/BannedTitles.cpp bannedlist/BannedListPage.cpp bannedlist/ListFiles.cpp
    bannedlist/UpdateDialog.cpp bannedlist/SaveFailedDialog.cpp)
