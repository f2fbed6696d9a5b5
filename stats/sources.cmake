list(APPEND VELMORA_PORTABLE_SOURCES stats/KillCount.cpp)
list(APPEND VELMORA_WIN_SOURCES stats/StatisticsPage.cpp)
