# zelmar_viewer_folder(name LINKS targets...): the current folder's sources
# and Qt resources (main.cpp aside) as the static library `name`, linking
# only the targets the folder may use.
function(zelmar_viewer_folder name)
  cmake_parse_arguments(F "" "" "LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS *.cpp *.h *.qrc)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  add_library(${name} STATIC ${sources})
  target_link_libraries(${name} PUBLIC ${F_LINKS})
  zelmar_warnings(${name})
endfunction()
