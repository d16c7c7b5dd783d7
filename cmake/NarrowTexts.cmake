# The program's texts are written in UTF-8 (front/resources/texts.h). The Windows build hands them
# to the narrow ("A") window functions, which read the ANSI code page of a Japanese desktop, 932:
# there the compiler stores the narrow literals of the targets that hold texts in code page 932.
# Only those targets (the front end and the tests that compare texts), all alike, as texts.h's
# inline constants must be the same bytes in every object: not every target, since a standard
# header (<chrono>) holds a literal that code page 932 cannot express.
function(vuv2ez_narrow_texts target)
  if(WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=CP932)
  endif()
endfunction()
