# zolbeck_cp932_sources(LIST...): in the fuzz build and the web build
# (clang), replaces every source named in the given list variables by a
# copy under build/cp932/ whose narrow literals are Shift-JIS escapes, and
# makes the copied headers of the same folders shadow the originals.
# Elsewhere it does nothing.

# Adds the rule that writes the copy of one source; its path in `out`.
function(zolbeck_cp932_copy source out)
  set(script ${CMAKE_SOURCE_DIR}/tools/cp932_literals.py)
  file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${source})
  set(copy ${CMAKE_BINARY_DIR}/cp932/${rel})
  add_custom_command(OUTPUT ${copy}
    COMMAND Python3::Interpreter ${script} ${source} ${copy}
    DEPENDS ${source} ${script} VERBATIM)
  set(${out} ${copy} PARENT_SCOPE)
endfunction()

function(zolbeck_cp932_sources)
  if(NOT ZOLBECK_FUZZ AND NOT EMSCRIPTEN)
    return()
  endif()
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  if(NOT TARGET cp932_headers)
    file(GLOB headers CONFIGURE_DEPENDS
      ${CMAKE_SOURCE_DIR}/src/library/*/*.h ${CMAKE_SOURCE_DIR}/src/game/*/*.h)
    set(header_copies)
    foreach(header ${headers})
      zolbeck_cp932_copy(${header} copy)
      list(APPEND header_copies ${copy})
    endforeach()
    add_custom_target(cp932_headers DEPENDS ${header_copies})
  endif()
  foreach(list_name ${ARGN})
    set(copies)
    foreach(source ${${list_name}})
      zolbeck_cp932_copy(${source} copy)
      list(APPEND copies ${copy})
    endforeach()
    set(${list_name} ${copies} PARENT_SCOPE)
  endforeach()
endfunction()
