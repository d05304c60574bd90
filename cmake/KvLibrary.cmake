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
  # The folder's files are compiled a few to a unit: each Qt header is then
  # read once per unit, not once per file: a fresh build takes a third. So
  # names private to a file must differ from those of its folder's others.
  set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 16)
endfunction()
