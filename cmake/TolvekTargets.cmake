# Compiler settings shared by every target of the project.
add_library(tolvek_options INTERFACE)
target_compile_options(tolvek_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
  -Wno-missing-field-initializers)
if(TOLVEK_WERROR)
  target_compile_options(tolvek_options INTERFACE -Werror)
endif()
if(CMAKE_BUILD_TYPE STREQUAL "Debug")
  target_compile_definitions(tolvek_options INTERFACE TOLVEK_DEBUG_CHECKS=1)
endif()
if(TOLVEK_SANITIZE)
  string(REPLACE ";" "," _tolvek_sanitizers "${TOLVEK_SANITIZE}")
  add_compile_options(-fsanitize=${_tolvek_sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_tolvek_sanitizers})
endif()
if(TOLVEK_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# tolvek_library(NAME DIR [LINKS ...]): a static library of every .cpp below DIR.
function(tolvek_library name dir)
  cmake_parse_arguments(ARG "" "" "LINKS;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  foreach(excluded IN LISTS ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${excluded}")
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_link_libraries(${name} PUBLIC tolvek_options ${ARG_LINKS})
  else()
    # A folder with headers only so far.
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE tolvek_options ${ARG_LINKS})
  endif()
endfunction()

# tolvek_framework(NAME DIR): a plug-in shipped outside the program, as a shared library of
# every .cpp below DIR, laid out in the bundle's Contents/Frameworks. Like a framework
# loaded by the application, it uses the embedding and the platform of the process that
# loads it: those symbols come from the program, which links them and exports them.
function(tolvek_framework name dir)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  add_library(${name} SHARED ${sources})
  target_link_libraries(${name} PRIVATE tolvek_options)
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}")
  target_link_libraries(${name} INTERFACE tolvek_flutter tolvek_platform)
  set_target_properties(${name} PROPERTIES
    LIBRARY_OUTPUT_DIRECTORY "${TOLVEK_APP_DIR}/Contents/Frameworks")
endfunction()
