# kv_add_library(<name> [DIR <subfolder>] LINKS <libraries...>)
# One static library per folder: every .cpp and .h of the calling folder (or
# of its DIR subfolder). Headers are included by their folder from the
# repository root, as in #include "store/Database.h".
function(kv_add_library name)
  cmake_parse_arguments(L "" "DIR" "LINKS" ${ARGN})
  set(dir ${CMAKE_CURRENT_SOURCE_DIR})
  if(L_DIR)
    set(dir ${dir}/${L_DIR})
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_LINKS})
endfunction()
