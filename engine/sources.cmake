list(APPEND VELMORA_PORTABLE_SOURCES
    engine/TitleMatch.cpp engine/KillRules.cpp engine/OpenBrowserWindows.cpp engine/HotkeyRule.cpp
    engine/PopupEngine.cpp engine/LibraryFile.cpp engine/CloseAnswers.cpp)
list(APPEND VELMORA_WIN_SOURCES engine/Win32Windows.cpp engine/BanHotkey.cpp engine/HookLibrary.cpp
    engine/Blocker.cpp)
