# Tests of a cross-build run under Wine, in a Wine prefix of the build's own, made once by the
# fixture below, so they never touch the user's ~/.wine.
set(SHIFTLET_WINE_PREFIX "${CMAKE_BINARY_DIR}/wine/prefix")
# No Mono or Gecko download prompts, and no Wine debug chatter in the test output.
set(SHIFTLET_WINE_ENVIRONMENT
    "WINEPREFIX=${SHIFTLET_WINE_PREFIX};WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=")

if(CMAKE_CROSSCOMPILING AND NOT TEST shiftlet_wine_prefix)
  file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/wine")  # Wine makes the prefix, not its parent
  # Where this build's programs find kernel32.dll in a 64-bit prefix: 32-bit ones in syswow64.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(SHIFTLET_WINE_DLL_FOLDER syswow64)
  else()
    set(SHIFTLET_WINE_DLL_FOLDER system32)
  endif()
  add_test(NAME shiftlet_wine_prefix
           COMMAND ${CMAKE_COMMAND} -DWINE=${CMAKE_CROSSCOMPILING_EMULATOR}
                   -DDLL_FOLDER=${SHIFTLET_WINE_DLL_FOLDER} -P ${CMAKE_CURRENT_LIST_DIR}/WinePrefix.cmake)
  set_tests_properties(shiftlet_wine_prefix PROPERTIES
    FIXTURES_SETUP wine_prefix ENVIRONMENT "${SHIFTLET_WINE_ENVIRONMENT}" TIMEOUT 300)
  # Wine's null display driver: the unit tests make real windows and dialogs with no X server.
  add_test(NAME shiftlet_wine_no_display COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} reg add
           "HKCU\\Software\\Wine\\Drivers" /v Graphics /d null /f)
  set_tests_properties(shiftlet_wine_no_display PROPERTIES
    FIXTURES_SETUP wine_prefix DEPENDS shiftlet_wine_prefix
    ENVIRONMENT "${SHIFTLET_WINE_ENVIRONMENT}" TIMEOUT 120)
endif()

# Registers a GoogleTest program. Under Wine it is one test per program, as starting a Windows
# program costs far more than running all its cases.
function(shiftlet_register_gtest name)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES
      FIXTURES_REQUIRED wine_prefix ENVIRONMENT "${SHIFTLET_WINE_ENVIRONMENT}" TIMEOUT 600)
  else()
    # Discovery at test time, not at build time, so a build never runs its tests to list them.
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
  endif()
endfunction()
