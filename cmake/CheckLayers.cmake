# The direction check: every file under src/ belongs to one layer, and each
# quoted include names a file of the includer's own layer or of a layer it
# links (directly or through the layers below). The layers come from the
# manifest that cmake/Layers.cmake writes at configure time, so the rule is
# whatever the targets say.
#
#   cmake -DMANIFEST=<build>/layers.cmake -DSOURCE_DIR=<src> [-DPLANT=<file>:<include>]
#         -P CheckLayers.cmake
#
# PLANT adds one include to a file as read, to prove the check catches it.

cmake_minimum_required(VERSION 3.25)

include(${MANIFEST})
get_filename_component(SOURCE_DIR ${SOURCE_DIR} ABSOLUTE)

# Each layer with every layer it may see: itself and its closure downwards.
foreach(layer ${GARBOLT_LAYERS})
  set(visible ${layer})
  set(pending ${GARBOLT_LAYER_BELOW_${layer}})
  while(pending)
    list(POP_FRONT pending next)
    if(next IN_LIST GARBOLT_LAYERS AND NOT next IN_LIST visible)
      list(APPEND visible ${next})
      list(APPEND pending ${GARBOLT_LAYER_BELOW_${next}})
    endif()
  endwhile()
  set(VISIBLE_${layer} ${visible})
endforeach()

set(problems "")
foreach(layer ${GARBOLT_LAYERS})
  foreach(file ${GARBOLT_LAYER_FILES_${layer}})
    if(DEFINED OWNER_${file})
      string(APPEND problems "  ${file} is in two layers: ${OWNER_${file}} and ${layer}\n")
    endif()
    set(OWNER_${file} ${layer})
  endforeach()
endforeach()

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
list(SORT sources)
if(NOT sources)
  message(FATAL_ERROR "No sources under ${SOURCE_DIR}")
endif()
foreach(file ${sources})
  if(NOT DEFINED OWNER_${file})
    string(APPEND problems "  ${file} belongs to no layer\n")
    continue()
  endif()
  set(layer ${OWNER_${file}})
  file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  if(PLANT MATCHES "^${file}:(.+)$")
    list(APPEND lines "#include \"${CMAKE_MATCH_1}\"")
  endif()
  foreach(line ${lines})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" included "${line}")
    if(NOT DEFINED OWNER_${included})
      string(APPEND problems "  ${file} (${layer}) includes ${included}, which no layer holds\n")
    elseif(NOT OWNER_${included} IN_LIST VISIBLE_${layer})
      string(APPEND problems
        "  ${file} (${layer}) includes ${included} (${OWNER_${included}}), a layer it does not link\n")
    endif()
  endforeach()
endforeach()

if(problems)
  message(FATAL_ERROR "Includes that cross the layers' direction:\n${problems}"
    "A layer may include only its own files and those of the layers it links "
    "(src/CMakeLists.txt; docs/architecture.md).")
endif()
