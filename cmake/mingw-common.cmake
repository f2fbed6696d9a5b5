# Cross-compiles the Windows program with Debian's MinGW-w64 for
# CMAKE_SYSTEM_PROCESSOR (posix thread model: GoogleTest needs std::mutex,
# which the win32 model lacks).
set(CMAKE_SYSTEM_NAME Windows)
set(VELMORA_MINGW ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)

set(CMAKE_C_COMPILER   ${VELMORA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMORA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER  ${VELMORA_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELMORA_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
