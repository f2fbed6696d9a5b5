list(APPEND VELMORA_PORTABLE_SOURCES settings/RunValueCommand.cpp settings/Settings.cpp settings/NameList.cpp)
list(APPEND VELMORA_WIN_SOURCES
    settings/RegistryProfile.cpp settings/SettingsStore.cpp settings/OptionsPage.cpp
    settings/RunAtLogon.cpp settings/BrowsersPage.cpp)
