# Per-target warning flags; VUV2EZ_WARNINGS_AS_ERRORS turns them into errors (CI does).
option(VUV2EZ_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)

function(vuv2ez_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${VUV2EZ_WARNINGS_AS_ERRORS}>:/WX>)
  else()
    target_compile_options(${target} PRIVATE
      -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
      -Wcast-qual -Wformat=2 -Wundef -Wnull-dereference -Wimplicit-fallthrough
      $<$<BOOL:${VUV2EZ_WARNINGS_AS_ERRORS}>:-Werror>)
  endif()
endfunction()
