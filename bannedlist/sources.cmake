list(APPEND VELMORA_WIN_SOURCES
    bannedlist/BannedTitles.cpp bannedlist/BannedListPage.cpp bannedlist/ListFiles.cpp)
