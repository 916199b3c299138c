# The garbolt-sim program's tests run the built program itself.
if(TARGET garbolt-sim)
  # Stand-in plug-ins: one calls a game function the simulated game does not
  # know, one stops handing frames back once a key is pressed.
  foreach(plugin unknown_native stuck)
    add_library(sim_tool_${plugin}_plugin MODULE
      ${CMAKE_CURRENT_SOURCE_DIR}/sim_tool/${plugin}_plugin.cpp)
    target_include_directories(sim_tool_${plugin}_plugin PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(sim_tool_${plugin}_plugin PRIVATE garbolt_warnings)
    set_target_properties(sim_tool_${plugin}_plugin PROPERTIES PREFIX "")
    add_dependencies(garbolt_tests sim_tool_${plugin}_plugin)
  endforeach()

  target_compile_definitions(garbolt_tests PRIVATE
    GARBOLT_SIM_PROGRAM="$<TARGET_FILE:garbolt-sim>"
    GARBOLT_SIM_UNKNOWN_NATIVE_PLUGIN="$<TARGET_FILE:sim_tool_unknown_native_plugin>"
    GARBOLT_SIM_STUCK_PLUGIN="$<TARGET_FILE:sim_tool_stuck_plugin>"
    GARBOLT_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  add_dependencies(garbolt_tests garbolt-sim)
  # The tests read the JSON lines back as any JSON reader would.
  find_package(nlohmann_json 3 REQUIRED)
  target_link_libraries(garbolt_tests PRIVATE nlohmann_json::nlohmann_json)
  # The screenshot tests read the pictures' pixels back, where the program can paint them.
  find_package(PkgConfig)
  if(PkgConfig_FOUND)
    pkg_check_modules(GARBOLT_TEST_CAIRO IMPORTED_TARGET cairo)
  endif()
  if(GARBOLT_TEST_CAIRO_FOUND)
    target_link_libraries(garbolt_tests PRIVATE PkgConfig::GARBOLT_TEST_CAIRO)
    target_compile_definitions(garbolt_tests PRIVATE GARBOLT_TESTS_READ_PNG=1)
  endif()
endif()

# Player-level scenarios: each passes when every expectation in it holds.
if(TARGET garbolt-sim)
  add_test(NAME garbolt-sim.move-and-delete
    COMMAND garbolt-sim ${CMAKE_CURRENT_SOURCE_DIR}/sim_tool/move_and_delete.scenario)
endif()

# The golden transcript of the tour, written anew when a change is meant to alter it:
#   cmake --build --preset dev --target tour-transcript
if(TARGET garbolt-sim)
  add_custom_target(tour-transcript
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:garbolt-sim>
      -DTOUR=${PROJECT_SOURCE_DIR}/tools/garbolt-sim/tour.scenario
      -DOUT=${CMAKE_CURRENT_SOURCE_DIR}/data/sim-tool/tour-transcript.txt
      -P ${PROJECT_SOURCE_DIR}/tools/garbolt-sim/TourTranscript.cmake
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DEPENDS garbolt-sim
    COMMENT "Writing tests/data/sim-tool/tour-transcript.txt from the tour"
    VERBATIM)
endif()
# The Windows tests' session scenario, played on Linux too: the same file
# gives the same outcome on both systems (windows.scenario.* under Wine).
if(TARGET garbolt-sim)
  add_test(NAME garbolt-sim.windows-scenario
    COMMAND garbolt-sim ${PROJECT_SOURCE_DIR}/windows/scenarios/settings-and-reload.scenario)
endif()
