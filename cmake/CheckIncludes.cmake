# The include layering, checked over every source file of the tree:
#   cmake -DROOT=<tree> -DPUBLIC_HEADERS=<file> -P CheckIncludes.cmake
# PUBLIC_HEADERS holds a ;-list of the layers' public headers (absolute, or relative to ROOT): the
# FILE_SET HEADERS of the layers' targets. The layers are the folders reader/ (the model and the
# reader), writer/, front/ and tools/qzdump/. A quoted include names a header from the root
# ("writer/qz_writer.h"), or one beside the including file ("conversion_dialog.h"). Allowed:
#   - any header of the including file's own layer;
#   - another layer's header that this layer lists as public;
#   - from tests/: any header of any layer, public or not (unit tests reach inside a layer), and
#     any header of tests/;
#   - from fuzz/: the layers' public headers and the testing support (tests/support/).
# Nothing else: no layer includes a header of tests/ or fuzz/, nor another layer's private one.
# Prints each include that breaks these rules and their number, and fails when there is one.
cmake_minimum_required(VERSION 3.25)
if(NOT ROOT OR NOT PUBLIC_HEADERS)
  message(FATAL_ERROR "usage: cmake -DROOT=<tree> -DPUBLIC_HEADERS=<file> -P CheckIncludes.cmake")
endif()
set(layers reader writer front tools/qzdump)

file(READ "${PUBLIC_HEADERS}" listed)
string(REGEX REPLACE "[ \t\r\n]+" ";" listed "${listed}")
set(public "")
foreach(header IN LISTS listed)
  if(IS_ABSOLUTE "${header}")
    file(RELATIVE_PATH header "${ROOT}" "${header}")
  endif()
  list(APPEND public "${header}")
endforeach()

# The folder a root-relative path belongs to: a layer, tests, fuzz, or the first folder of others.
function(folder_of path out)
  foreach(folder IN LISTS layers ITEMS tests fuzz)
    if(path MATCHES "^${folder}/")
      set(${out} "${folder}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  string(REGEX REPLACE "/.*" "" first "${path}")
  set(${out} "${first}" PARENT_SCOPE)
endfunction()

# Every folder of the tree but build/ and hidden ones.
file(GLOB folders RELATIVE "${ROOT}" LIST_DIRECTORIES true "${ROOT}/*")
set(sources "")
foreach(folder IN LISTS folders)
  if(IS_DIRECTORY "${ROOT}/${folder}" AND NOT folder MATCHES "^(build|\\.)")
    file(GLOB_RECURSE found RELATIVE "${ROOT}" LIST_DIRECTORIES false "${ROOT}/${folder}/*.cpp"
      "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.c" "${ROOT}/${folder}/*.rc")
    list(APPEND sources ${found})
  endif()
endforeach()
set(faults "")
foreach(source IN LISTS sources)
  if(source MATCHES "^tests/data/")
    continue()  # test data, not sources (data/layering is a tree of faults)
  endif()
  folder_of("${source}" from)
  file(STRINGS "${ROOT}/${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" header "${line}")
    if(NOT header MATCHES "/")
      continue()  # beside the including file
    endif()
    folder_of("${header}" to)
    if(to STREQUAL from)
      continue()
    elseif(from STREQUAL "tests" AND (to IN_LIST layers OR to STREQUAL "tests"))
      continue()
    elseif(from STREQUAL "fuzz" AND header MATCHES "^tests/support/")
      continue()
    elseif(to IN_LIST layers AND header IN_LIST public)
      continue()
    endif()
    if(to IN_LIST layers)
      list(APPEND faults "${source}: includes ${header}, which ${to}/ does not list as public")
    else()
      list(APPEND faults "${source}: includes ${header}, which ${from}/ may not include")
    endif()
  endforeach()
endforeach()

list(LENGTH faults count)
foreach(fault IN LISTS faults)
  message("${fault}")
endforeach()
if(count GREATER 0)
  message(FATAL_ERROR "${count} includes break the layering: include a layer's public header, "
    "or list the header in the FILE_SET HEADERS of its layer's CMakeLists.txt")
endif()
message(STATUS "every include keeps to the layering (${ROOT})")
