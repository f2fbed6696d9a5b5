list(APPEND VELMORA_PORTABLE_SOURCES framework/ExchangeRules.cpp framework/CodePage.cpp
    framework/DpiRules.cpp)
list(APPEND VELMORA_WIN_SOURCES framework/Window.cpp framework/Dialog.cpp framework/DataExchange.cpp
    framework/AnsiCodePage.cpp framework/Dpi.cpp framework/StartupTrace.cpp)
