list(APPEND VELMORA_PORTABLE_SOURCES stats/CounterLine.cpp)
list(APPEND VELMORA_WIN_SOURCES stats/StatisticsPage.cpp)
