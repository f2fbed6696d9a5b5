list(APPEND VELMORA_PORTABLE_SOURCES bannedlist/ListFileFormat.cpp)
list(APPEND VELMORA_WIN_SOURCES
    bannedlist/BannedTitles.cpp bannedlist/BannedListPage.cpp bannedlist/ListFiles.cpp
    bannedlist/AtomicFile.cpp bannedlist/UpdateDownload.cpp)
