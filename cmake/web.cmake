# The web build (tools/web_build.sh, Debian's emscripten): the game as
# zolbeck.js and zolbeck.wasm with its data in zolbeck.data, and the page
# around them, all in out/.
#
# ASYNCIFY keeps the library's blocking frame loop as it is: a wait for the
# next frame hands the browser its turn, and the program goes on where it
# stopped. Cairo calls a few of its functions through pointers of another
# type, which WebAssembly refuses: the casts are emulated.
set(ZOLBECK_WEB_OUT ${CMAKE_BINARY_DIR}/out)
set(ZOLBECK_WEB_FONTS /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf
                      /usr/share/fonts/opentype/ipafont-mincho/ipam.ttf)
set(ZOLBECK_WEB_LINK
  -sASYNCIFY=1 -sASYNCIFY_STACK_SIZE=262144 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=134217728
  -sEXIT_RUNTIME=1 -sFORCE_FILESYSTEM=1 -sEMULATE_FUNCTION_POINTER_CASTS=1 -sMINIFY_HTML=0
  # SDL's audio calls these page functions, which are left out unless named
  # (in a file: their names begin with a dollar sign).
  -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_BINARY_DIR}/web/page_functions.json)
file(WRITE ${CMAKE_BINARY_DIR}/web/page_functions.json "[\"\$autoResumeAudioContext\", \"\$dynCall\"]\n")

# zolbeck_web_data(TARGET FOLDER@PLACE ...): the files the page's program
# finds in its file system, packed into TARGET.data beside TARGET.js.
function(zolbeck_web_program target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ZOLBECK_WEB_OUT} SUFFIX .js)
  target_link_options(${target} PRIVATE ${ZOLBECK_WEB_LINK})
  foreach(entry ${ARGN})
    target_link_options(${target} PRIVATE "SHELL:--preload-file ${entry}")
  endforeach()
endfunction()

file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/fonts)
foreach(font ${ZOLBECK_WEB_FONTS})
  get_filename_component(name ${font} NAME)
  configure_file(${font} ${CMAKE_BINARY_DIR}/fonts/${name} COPYONLY)
endforeach()
zolbeck_web_program(zolbeck ${CMAKE_BINARY_DIR}/game@/game ${CMAKE_BINARY_DIR}/fonts@/fonts)

# The music's synthesiser: FluidSynth built for the browser (js-synthesizer,
# from npm into ZOLBECK_WEB_NODE by tools/web_build.sh) and Debian's
# General MIDI sound font, beside the pages. Without them the pages' music
# is silent.
set(ZOLBECK_WEB_NODE "" CACHE PATH "The folder whose node_modules hold js-synthesizer")
set(synth ${ZOLBECK_WEB_NODE}/node_modules/js-synthesizer)
set(ZOLBECK_WEB_FONT /usr/share/sounds/sf2/TimGM6mb.sf2)
set(ZOLBECK_WEB_SYNTH OFF)
if(ZOLBECK_WEB_NODE AND EXISTS ${synth}/dist/js-synthesizer.min.js AND EXISTS ${ZOLBECK_WEB_FONT})
  set(ZOLBECK_WEB_SYNTH ON)
  configure_file(${synth}/dist/js-synthesizer.min.js ${ZOLBECK_WEB_OUT}/js-synthesizer.min.js COPYONLY)
  configure_file(${synth}/dist/js-synthesizer.worklet.min.js ${ZOLBECK_WEB_OUT}/js-synthesizer.worklet.min.js
                 COPYONLY)
  # Debian 12's FluidSynth is 2.3.
  configure_file(${synth}/externals/libfluidsynth-2.3.0.js ${ZOLBECK_WEB_OUT}/libfluidsynth.js COPYONLY)
  configure_file(${ZOLBECK_WEB_FONT} ${ZOLBECK_WEB_OUT}/TimGM6mb.sf2 COPYONLY)
endif()

# zolbeck_web_page(PAGE PROGRAM TITLE KEYS ARGS): the page PAGE that runs
# PROGRAM.js, KEYS the line of controls under the picture, ARGS the command
# line when the address gives none.
function(zolbeck_web_page page program title keys args)
  set(ZOLBECK_PAGE_SYNTH ${ZOLBECK_WEB_SYNTH})
  set(ZOLBECK_PAGE_SYNTH_SCRIPT "")
  if(ZOLBECK_WEB_SYNTH)
    set(ZOLBECK_PAGE_SYNTH_SCRIPT "<script src=\"js-synthesizer.min.js\"></script>")
  endif()
  set(ZOLBECK_PAGE_PROGRAM ${program})
  set(ZOLBECK_PAGE_TITLE ${title})
  set(ZOLBECK_PAGE_KEYS ${keys})
  set(ZOLBECK_PAGE_ARGS ${args})
  configure_file(${CMAKE_SOURCE_DIR}/tools/web/index.html ${ZOLBECK_WEB_OUT}/${page} @ONLY)
endfunction()
zolbeck_web_page(index.html zolbeck "ゾルベック！" "矢印キー: 歩く　V: 呼ぶ　C: 振る　Enter: もう一度" "--sound")
# What lets the player's page work offline once loaded.
configure_file(${CMAKE_SOURCE_DIR}/tools/web/service_worker.js ${ZOLBECK_WEB_OUT}/service_worker.js COPYONLY)

# The library's hello example as a page of its own, its picture and sound
# written by its generator built for the build machine.
find_program(ZOLBECK_HOST_CXX NAMES c++ g++ REQUIRED)
set(hello_sources ${CMAKE_SOURCE_DIR}/examples/hello/hello.cpp)
zolbeck_cp932_sources(hello_sources)
add_executable(hello ${hello_sources})
target_compile_options(hello PRIVATE ${ZOLBECK_FLAGS})
target_link_libraries(hello PRIVATE zb_lib)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/hello/hello.bmp
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/hello
  COMMAND ${ZOLBECK_HOST_CXX} -std=c++20 -O1 ${CMAKE_SOURCE_DIR}/examples/hello/make_data.cpp
          -o ${CMAKE_BINARY_DIR}/hello_data
  COMMAND ${CMAKE_BINARY_DIR}/hello_data
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/hello
  DEPENDS ${CMAKE_SOURCE_DIR}/examples/hello/make_data.cpp
  COMMENT "Writing hello.bmp and hello.wav for the hello page")
add_custom_target(hello_data DEPENDS ${CMAKE_BINARY_DIR}/hello/hello.bmp)
add_dependencies(hello hello_data)
zolbeck_web_program(hello ${CMAKE_BINARY_DIR}/hello@/game ${CMAKE_BINARY_DIR}/fonts@/fonts)
zolbeck_web_page(hello.html hello "hello" "矢印キー: 動く　Space: 音　Esc: 終了" "")

# The showcase as a page of its own, on the game's pictures and sounds. Its
# sprite pack is not in the page's data (the desktop build makes it by
# running the showcase): showcase.html?args=--depth%2032 makes it in the page
# when its scene is shown, on a desktop where the effects draw nothing.
file(GLOB showcase_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/showcase/*.cpp)
zolbeck_cp932_sources(showcase_sources)
add_executable(zolbeck_showcase ${showcase_sources})
target_compile_options(zolbeck_showcase PRIVATE ${ZOLBECK_FLAGS})
target_include_directories(zolbeck_showcase PRIVATE ${CMAKE_SOURCE_DIR}/tools/showcase)
target_link_libraries(zolbeck_showcase PRIVATE zb_lib)
add_dependencies(zolbeck_showcase gamedata)
zolbeck_web_program(zolbeck_showcase ${CMAKE_BINARY_DIR}/game@/game ${CMAKE_BINARY_DIR}/fonts@/fonts)
zolbeck_web_page(showcase.html zolbeck_showcase "ゾルベック！ showcase"
  "←→ / 1–0: 場面　↑↓: 強さ　Space: もう一度　F12: スクリーンショット" "")
