# What the mingw-w64 cross-builds share (Debian's g++-mingw-w64-*-posix). The file that includes
# this one sets SHIFTLET_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR, and the Wine loader for its
# programs. The released programs' own link flags (oldest Windows, no time stamp) are with them in
# src/platform/win32/CMakeLists.txt.
set(CMAKE_SYSTEM_NAME Windows)

# The POSIX thread model: GoogleTest needs std::mutex, which GCC 12's win32 model lacks. With
# -static below its winpthread goes into the program too.
set(CMAKE_C_COMPILER ${SHIFTLET_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SHIFTLET_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SHIFTLET_MINGW_TRIPLE}-windres)
# CMake cannot tell these from the -posix compiler names.
set(CMAKE_STRIP ${SHIFTLET_MINGW_TRIPLE}-strip)
set(CMAKE_OBJDUMP ${SHIFTLET_MINGW_TRIPLE}-objdump)

# Only the mingw-w64 tree for libraries and headers, so the host's GoogleTest is never taken.
set(CMAKE_FIND_ROOT_PATH /usr/${SHIFTLET_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A bare Windows has no mingw runtime DLLs: everything is linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# No build folder names in the programs, wherever the sources and the build are.
get_filename_component(shiftlet_source_dir "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
set(CMAKE_C_FLAGS_INIT "-ffile-prefix-map=${shiftlet_source_dir}/=")
set(CMAKE_CXX_FLAGS_INIT "-ffile-prefix-map=${shiftlet_source_dir}/=")
