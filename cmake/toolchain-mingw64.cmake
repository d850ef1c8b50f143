# Test build of the same sources as 64-bit Windows programs. These machines cannot start 32-bit
# Linux processes, so 32-bit Wine cannot run here; the tests run under 64-bit Wine instead, while
# the deliverables themselves come from the 32-bit tree (toolchain-mingw32.cmake).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KT_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
