# zolbeck_cp932_sources(LIST...): in the fuzz build, replaces every source
# named in the given list variables by a copy under build/cp932/ whose
# narrow literals are Shift-JIS escapes, and makes the copied headers of the
# same folders shadow the originals. Elsewhere it does nothing.
function(zolbeck_cp932_sources)
  if(NOT ZOLBECK_FUZZ)
    return()
  endif()
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(script ${CMAKE_SOURCE_DIR}/tools/cp932_literals.py)
  set(root ${CMAKE_BINARY_DIR}/cp932)
  if(TARGET cp932_headers)
    set(headers)
  else()
    add_custom_target(cp932_headers)
    file(GLOB headers CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/src/shell/*.h ${CMAKE_SOURCE_DIR}/src/draw/*.h
    ${CMAKE_SOURCE_DIR}/src/sound/*.h ${CMAKE_SOURCE_DIR}/src/input/*.h
      ${CMAKE_SOURCE_DIR}/src/world/*.h ${CMAKE_SOURCE_DIR}/src/actors/*.h)
  endif()
  set(header_copies)
  foreach(header ${headers})
    file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${header})
    add_custom_command(OUTPUT ${root}/${rel}
      COMMAND Python3::Interpreter ${script} ${header} ${root}/${rel}
      DEPENDS ${header} ${script} VERBATIM)
    list(APPEND header_copies ${root}/${rel})
  endforeach()
  if(header_copies)
    target_sources(cp932_headers PRIVATE ${header_copies})
  endif()
  foreach(list_name ${ARGN})
    set(copies)
    foreach(source ${${list_name}})
      file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${source})
      add_custom_command(OUTPUT ${root}/${rel}
        COMMAND Python3::Interpreter ${script} ${source} ${root}/${rel}
        DEPENDS ${source} ${script} VERBATIM)
      list(APPEND copies ${root}/${rel})
    endforeach()
    set(${list_name} ${copies} PARENT_SCOPE)
  endforeach()
endfunction()
