list(APPEND VELMORA_PORTABLE_SOURCES
    listfile/ListFileFormat.cpp listfile/ListMessages.cpp listfile/ListFileGuard.cpp
    listfile/TitleSet.cpp listfile/HttpExchange.cpp)
list(APPEND VELMORA_WIN_SOURCES
    listfile/AtomicFile.cpp listfile/UpdateDownload.cpp listfile/Win32ListFileSystem.cpp
    listfile/SystemCodePage.cpp listfile/SystemTitleOrder.cpp)
