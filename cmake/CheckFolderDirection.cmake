# The viewer's folders depend one way only:
#   engine <- base <- {ui, browse, view, files} <- process <- app
# zelmar_check_folder_direction(root) fails on an #include "folder/..." in
# root/src that goes against it. Run on another tree in script mode:
#   cmake -DZELMAR_SOURCE_ROOT=<folder holding src/> -P cmake/CheckFolderDirection.cmake
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  cmake_minimum_required(VERSION 3.25)
endif()

set(ZELMAR_MAY_INCLUDE_base engine base)
foreach(folder ui browse view files)
  set(ZELMAR_MAY_INCLUDE_${folder} engine base ${folder})
endforeach()
set(ZELMAR_MAY_INCLUDE_process engine base ui browse view files process)
set(ZELMAR_MAY_INCLUDE_app engine base ui browse view files process app)

function(zelmar_check_folder_direction root)
  set(problems "")
  foreach(folder base ui browse view files process app)
    file(GLOB_RECURSE sources ${root}/src/${folder}/*.h ${root}/src/${folder}/*.cpp)
    foreach(f ${sources})
      file(STRINGS ${f} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[A-Za-z_]+/")
      foreach(line ${includes})
        string(REGEX REPLACE "^[^\"]*\"([A-Za-z_]+)/.*$" "\\1" used "${line}")
        if(NOT used IN_LIST ZELMAR_MAY_INCLUDE_${folder})
          file(RELATIVE_PATH shown ${root} ${f})
          string(APPEND problems "\n  ${shown}: ${folder} includes ${used}/")
        endif()
      endforeach()
    endforeach()
  endforeach()
  if(problems)
    message(FATAL_ERROR "Includes against the folder direction "
                        "(engine <- base <- ui, browse, view, files <- process <- app):${problems}")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  zelmar_check_folder_direction(${ZELMAR_SOURCE_ROOT})
endif()
