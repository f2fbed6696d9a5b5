list(APPEND VELMORA_PORTABLE_SOURCES controls/ButtonRules.cpp controls/LabelRules.cpp)
list(APPEND VELMORA_WIN_SOURCES
    controls/PageTabCtrl.cpp controls/ImageButton.cpp controls/HyperLinkLabel.cpp
    controls/ShellLaunch.cpp controls/AboutPage.cpp controls/Picture.cpp)
