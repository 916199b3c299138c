# The plug-in's layers as build targets. Each layer is a static library that
# links only the layers below it. garbolt_layer also records which files a
# layer holds and which layers it links, so the direction check
# (cmake/CheckLayers.cmake) can tell an include that points down from one
# that points up or sideways.
#
#   garbolt_layer(<target> SOURCES <files under src/>... [BELOW <targets>...])
#   garbolt_layer_files(<target> <files under src/>...)   files a layer holds but
#                                                          builds elsewhere
#   garbolt_write_layer_manifest(<file>)

function(garbolt_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 LAYER "" "" "SOURCES;BELOW")
  add_library(${target} STATIC ${LAYER_SOURCES})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${LAYER_BELOW} PRIVATE garbolt_warnings)
  set_target_properties(${target} PROPERTIES
    POSITION_INDEPENDENT_CODE ON
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND NOT CMAKE_SYSTEM_NAME STREQUAL "Windows")
    # Unique symbols would pin the plug-in library in memory and keep its
    # state across an unload.
    target_compile_options(${target} PRIVATE -fno-gnu-unique)
  endif()
  set_property(GLOBAL APPEND PROPERTY GARBOLT_LAYERS ${target})
  set_property(GLOBAL PROPERTY GARBOLT_LAYER_BELOW_${target} ${LAYER_BELOW})
  garbolt_layer_files(${target} ${LAYER_SOURCES})
endfunction()

function(garbolt_layer_files target)
  set_property(GLOBAL APPEND PROPERTY GARBOLT_LAYER_FILES_${target} ${ARGN})
endfunction()

function(garbolt_write_layer_manifest file)
  get_property(layers GLOBAL PROPERTY GARBOLT_LAYERS)
  set(text "# Written by cmake/Layers.cmake: each layer, its files and the targets it links.\n")
  string(APPEND text "set(GARBOLT_LAYERS ${layers})\n")
  foreach(layer ${layers})
    get_property(files GLOBAL PROPERTY GARBOLT_LAYER_FILES_${layer})
    get_property(below GLOBAL PROPERTY GARBOLT_LAYER_BELOW_${layer})
    string(APPEND text "set(GARBOLT_LAYER_FILES_${layer} ${files})\n")
    string(APPEND text "set(GARBOLT_LAYER_BELOW_${layer} ${below})\n")
  endforeach()
  file(WRITE ${file} "${text}")
endfunction()
