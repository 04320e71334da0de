# Cross-builds the 32-bit Windows programs with mingw-w64 (Debian's g++-mingw-w64-i686-posix).
# Tests and other built programs run under 32-bit Wine (Debian's wine32:i386).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(SHIFTLET_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# The 32-bit loader itself, not Debian 12's /usr/bin/wine wrapper, which falls back to the 64-bit
# loader without a word when wine32 is missing (WINEDEBUG=-all hides its hint).
find_program(SHIFTLET_WINE NAMES wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(SHIFTLET_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${SHIFTLET_WINE})
endif()
