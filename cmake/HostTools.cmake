# svg2png and soundgen run during the build. A cross build cannot run its own,
# so it takes them from a native build tree (QUILLON_HOST_TOOLS) and builds
# neither for the target.
if(NOT CMAKE_CROSSCOMPILING)
  return()
endif()
set(QUILLON_HOST_TOOLS "" CACHE PATH "Native build tree with svg2png and soundgen built")
foreach(tool svg2png soundgen)
  set(path ${QUILLON_HOST_TOOLS}/tools/${tool}/${tool})
  if(NOT EXISTS ${path})
    message(FATAL_ERROR "A cross build runs the build machine's ${tool}: build it in a native tree "
      "(cmake --build build --target ${tool}) and pass -DQUILLON_HOST_TOOLS=<that tree>")
  endif()
  add_executable(${tool} IMPORTED)
  set_target_properties(${tool} PROPERTIES IMPORTED_LOCATION ${path})
endforeach()
