# Cross-builds the 64-bit Windows program with mingw-w64 (Debian's g++-mingw-w64-x86-64). Tests
# and other built programs run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SHIFTLET_MINGW_TRIPLE x86_64-w64-mingw32)
# The POSIX thread model: GoogleTest needs std::mutex, which GCC 12's win32 model lacks. With
# -static below its winpthread goes into the program too.
set(CMAKE_C_COMPILER ${SHIFTLET_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SHIFTLET_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SHIFTLET_MINGW_TRIPLE}-windres)

# Only the mingw-w64 tree for libraries and headers, so the host's GoogleTest is never taken.
set(CMAKE_FIND_ROOT_PATH /usr/${SHIFTLET_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A bare Windows has no mingw runtime DLLs: everything is linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The 64-bit loader itself: on Debian 12 /usr/bin/wine is a shell wrapper that looks for a 32-bit
# Wine first and nags when there is none.
find_program(SHIFTLET_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(SHIFTLET_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${SHIFTLET_WINE})
endif()
