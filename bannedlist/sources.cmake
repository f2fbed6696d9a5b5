list(APPEND VELMORA_PORTABLE_SOURCES bannedlist/ListFileFormat.cpp bannedlist/ListMessages.cpp)
list(APPEND VELMORA_WIN_SOURCES
    bannedlist/BannedTitles.cpp bannedlist/BannedListPage.cpp bannedlist/ListFiles.cpp
    bannedlist/AtomicFile.cpp bannedlist/UpdateDownload.cpp bannedlist/UpdateDialog.cpp
    bannedlist/SaveFailedDialog.cpp bannedlist/ListFileGuard.cpp bannedlist/SystemCodePage.cpp
    bannedlist/ListBoxOrder.cpp)
