# Makes the build's Wine prefix, or brings it up to date (cmake -P, WINEPREFIX set):
#   cmake -DWINE=<the build's Wine loader> -DDLL_FOLDER=system32|syswow64 -P WinePrefix.cmake
# wineboot runs under the build's own loader: Debian's wineboot goes through /usr/bin/wine, which
# takes the 32-bit loader whenever wine32 is installed, and a kernel without 32-bit support cannot
# start that even for a 64-bit prefix.
# A prefix made before wine32 was installed has no 32-bit system DLLs, and 32-bit programs then
# fail with "could not load kernel32.dll": such a prefix is made afresh.
set(prefix "$ENV{WINEPREFIX}")
if(EXISTS "${prefix}" AND NOT EXISTS "${prefix}/drive_c/windows/${DLL_FOLDER}/kernel32.dll")
  message(STATUS "The Wine prefix ${prefix} lacks ${DLL_FOLDER}\\kernel32.dll: making it afresh")
  file(REMOVE_RECURSE "${prefix}")
endif()
execute_process(COMMAND "${WINE}" wineboot --init COMMAND_ERROR_IS_FATAL ANY)
if(NOT EXISTS "${prefix}/drive_c/windows/${DLL_FOLDER}/kernel32.dll")
  message(FATAL_ERROR "Wine made ${prefix} without ${DLL_FOLDER}\\kernel32.dll: for 32-bit "
                      "programs install wine32:i386 (tools/install-deps.sh windows)")
endif()
