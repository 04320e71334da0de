# Warnings for our own targets only; third-party code keeps its own settings.
function(shiftlet_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
    if(SHIFTLET_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE /WX)
    endif()
  else()
    # -Wconversion matters here: most values are 16-bit and must never narrow silently.
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wconversion
                                             -Wsign-conversion -Wshadow)
    if(SHIFTLET_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
endfunction()
