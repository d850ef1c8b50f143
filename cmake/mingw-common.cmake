# What both Windows toolchains share; the including file sets CMAKE_SYSTEM_PROCESSOR and
# KT_MINGW_PREFIX first. The posix thread model gives std::thread and lets GoogleTest build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${KT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${KT_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
