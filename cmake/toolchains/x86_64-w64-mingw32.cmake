# Cross-builds the 64-bit Windows programs with mingw-w64 (Debian's g++-mingw-w64-x86-64-posix).
# Tests and other built programs run under 64-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SHIFTLET_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# The 64-bit loader itself: on Debian 12 /usr/bin/wine is a shell wrapper that looks for a 32-bit
# Wine first and nags when there is none.
find_program(SHIFTLET_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(SHIFTLET_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${SHIFTLET_WINE})
endif()
