# Cross build of the 32-bit Windows deliverables with Debian's mingw-w64 (posix thread model,
# so that std::thread and GoogleTest work).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KT_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER   ${KT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${KT_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
