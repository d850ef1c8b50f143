# Test build of the same sources as 64-bit Windows programs. These machines cannot start 32-bit
# Linux processes, so 32-bit Wine cannot run here; the tests run under 64-bit Wine instead, while
# the deliverables themselves come from the 32-bit tree (toolchain-mingw32.cmake).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KT_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${KT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${KT_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
