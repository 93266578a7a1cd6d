# Precompiled headers for the targets whose files all parse the same heavy headers (GoogleTest,
# Qt Widgets). A compiler launcher such as ccache cannot cache a compile that uses one without
# settings of its own, and a warm cache beats a precompiled header, so the default follows it.
if(CMAKE_CXX_COMPILER_LAUNCHER)
  set(_pravenorPchDefault OFF)
else()
  set(_pravenorPchDefault ON)
endif()
option(PRAVENOR_PCH "Precompile the heavy headers of the test and window targets" ${_pravenorPchDefault})

# pravenor_precompile(target header...): only for targets of several files; for one file the
# precompiled header is one more compile.
function(pravenor_precompile target)
  if(NOT PRAVENOR_PCH)
    return()
  endif()
  get_target_property(sources ${target} SOURCES)
  list(FILTER sources INCLUDE REGEX "\\.cpp$")
  list(LENGTH sources count)
  if(count GREATER 2)
    target_precompile_headers(${target} PRIVATE ${ARGN})
  endif()
endfunction()
