# The native list (src/host/native_list.def): every hash written once, and the
# compiler refusing a call whose argument or result is of the wrong kind.
add_test(NAME Natives.EachHashWrittenOnce
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
    -P ${PROJECT_SOURCE_DIR}/cmake/CheckNativeList.cmake)
add_test(NAME Natives.PlantedSecondHashFails
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
    -DPLANT=sim/game.cpp:0x16794E044C9EFB58
    -P ${PROJECT_SOURCE_DIR}/cmake/CheckNativeList.cmake)
set_tests_properties(Natives.PlantedSecondHashFails PROPERTIES
  PASS_REGULAR_EXPRESSION "0x16794E044C9EFB58 \\(UIDEBUG::_BG_DISPLAY_TEXT\\) is also written in sim/game.cpp")

# The planted calls compile on their own, with the compiler of this build.
set(GARBOLT_PLANTED_CALL ${CMAKE_CXX_COMPILER} -std=c++17 -fsyntax-only
  -I${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR}/native_kinds/planted_call.cpp)
add_test(NAME Natives.RightKindsCompile COMMAND ${GARBOLT_PLANTED_CALL} -DPLANT=0)
# Each plant: its number, its name and the compiler's complaint.
foreach(plant
    "1|IntForFloat|a float parameter takes a float"
    "2|DoubleForFloat|a float parameter takes a float"
    "3|WideValueForHash|an int, Hash or handle parameter takes a 32-bit integer"
    "4|FloatForInt|an int, Hash or handle parameter takes a 32-bit integer"
    "5|MissingArgument|the native takes another number of arguments"
    "6|BoolResultAsInt|the native's result is of another kind")
  string(REPLACE "|" ";" fields "${plant}")
  list(GET fields 0 number)
  list(GET fields 1 name)
  list(GET fields 2 complaint)
  add_test(NAME Natives.Planted${name}FailsToBuild COMMAND ${GARBOLT_PLANTED_CALL} -DPLANT=${number})
  set_tests_properties(Natives.Planted${name}FailsToBuild PROPERTIES
    PASS_REGULAR_EXPRESSION "${complaint}")
endforeach()
