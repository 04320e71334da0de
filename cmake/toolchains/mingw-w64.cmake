# What the mingw-w64 cross-builds share (Debian's g++-mingw-w64-*-posix). The file that includes
# this one sets SHIFTLET_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR, and the Wine loader for its
# programs.
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

# The oldest Windows the programs run on: Vista (6.0). The newest call either build imports is
# GetTickCount64, first in Vista, which winpthread (the POSIX thread model's runtime) needs; all
# else is there in XP. The PE header says so too, so an older Windows refuses the program with a
# clear message rather than a missing import. src/ compiles against the same floor
# (_WIN32_WINNT=0x0600).
set(SHIFTLET_PE_VERSIONS
    "-Wl,--major-os-version,6,--minor-os-version,0,--major-subsystem-version,6,--minor-subsystem-version,0")
# A bare Windows has no mingw runtime DLLs: everything is linked in. No link time stamp, so two
# builds of one commit give the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp ${SHIFTLET_PE_VERSIONS}")

# No build folder names in the programs, wherever the sources and the build are.
get_filename_component(shiftlet_source_dir "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
set(CMAKE_C_FLAGS_INIT "-ffile-prefix-map=${shiftlet_source_dir}/=")
set(CMAKE_CXX_FLAGS_INIT "-ffile-prefix-map=${shiftlet_source_dir}/=")
