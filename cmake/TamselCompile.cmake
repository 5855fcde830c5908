# Project-wide compile settings, applied to every target through tamsel_settings.
add_library(tamsel_settings INTERFACE)
target_compile_options(tamsel_settings INTERFACE -Wall -Wextra)
if(TAMSEL_WERROR)
  target_compile_options(tamsel_settings INTERFACE -Werror)
endif()

if(TAMSEL_SANITIZE)
  set(_san "-fsanitize=${TAMSEL_SANITIZE}")
  target_compile_options(tamsel_settings INTERFACE ${_san} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(tamsel_settings INTERFACE ${_san})
endif()

# One library per subsystem folder, built from the sources the folder holds,
# so adding a file to a folder needs no build-file edit.
#   tamsel_folder_library(<name> [DEPENDS <targets>...])
function(tamsel_folder_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB _headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(_sources)
    add_library(${name} STATIC ${_sources} ${_headers})
    set(_scope PUBLIC)
  else()
    add_library(${name} INTERFACE)
    set(_scope INTERFACE)
  endif()
  tamsel_own_includes(${name} ${_scope})
  target_link_libraries(${name} ${_scope} tamsel_settings ${ARG_DEPENDS})
endfunction()

# A library sees its own folder and, through the libraries it links, theirs:
# nothing else of the tree. Each library gets an include root of its own in
# the build tree holding one link to its folder, so that "serial/X.h" is found
# only by a library that depends on serial/, and an include that reaches up a
# layer (a Qt-free folder naming a desktop header) fails to compile.
#   tamsel_own_includes(<target> PUBLIC|INTERFACE)
function(tamsel_own_includes target scope)
  file(RELATIVE_PATH _folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(_root ${PROJECT_BINARY_DIR}/include/${target})
  get_filename_component(_parent ${_root}/${_folder} DIRECTORY)
  file(MAKE_DIRECTORY ${_parent})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${_root}/${_folder} SYMBOLIC)
  target_include_directories(${target} ${scope} ${_root})
endfunction()

# Under libFuzzer every part of the system carries the fuzzer's coverage
# instrumentation, so that the code under test guides it, not the harness alone.
if(TAMSEL_FUZZ)
  target_compile_options(tamsel_settings INTERFACE -fsanitize=fuzzer-no-link)
  target_link_options(tamsel_settings INTERFACE -fsanitize=fuzzer-no-link)
endif()

# Precompiles Qt's common widget headers, and any other headers given, for a
# target of the desktop layer with many files. Worth it only there: a target
# with a few files, or without Qt, spends more on making and loading the
# precompiled header than its files save.
#   tamsel_precompile_widgets(<target> [<header>...])
function(tamsel_precompile_widgets target)
  target_precompile_headers(${target} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/WidgetHeaders.h ${ARGN})
endfunction()
