list(APPEND VELMORA_PORTABLE_SOURCES listfile/ListFileFormat.cpp listfile/ListMessages.cpp
    listfile/HttpExchange.cpp)
list(APPEND VELMORA_WIN_SOURCES
    listfile/AtomicFile.cpp listfile/UpdateDownload.cpp listfile/ListFileGuard.cpp
    listfile/SystemCodePage.cpp listfile/ListBoxOrder.cpp)
