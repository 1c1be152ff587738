# kelvane_sources(<target> [EXCLUDE <file>...]): adds every .cpp of the calling folder (not of its
# subfolders) to <target>. A folder with no source yet adds an empty one, so that the build of a
# half-grown tree still configures.
function(kelvane_sources target)
  cmake_parse_arguments(S "" "" "EXCLUDE" ${ARGN})
  file(GLOB files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(x ${S_EXCLUDE})
    list(REMOVE_ITEM files ${CMAKE_CURRENT_SOURCE_DIR}/${x})
  endforeach()
  if(NOT files)
    set(files ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  target_sources(${target} PRIVATE ${files})
endfunction()
