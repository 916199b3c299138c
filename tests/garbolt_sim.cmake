# The garbolt-sim program's tests run the built program itself.
if(TARGET garbolt-sim)
  # A plug-in that calls a game function the simulated game does not know.
  add_library(sim_tool_unknown_native_plugin MODULE
    ${CMAKE_CURRENT_SOURCE_DIR}/sim_tool/unknown_native_plugin.cpp)
  target_include_directories(sim_tool_unknown_native_plugin PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(sim_tool_unknown_native_plugin PRIVATE garbolt_warnings)
  set_target_properties(sim_tool_unknown_native_plugin PROPERTIES PREFIX "")

  target_compile_definitions(garbolt_tests PRIVATE
    GARBOLT_SIM_PROGRAM="$<TARGET_FILE:garbolt-sim>"
    GARBOLT_SIM_UNKNOWN_NATIVE_PLUGIN="$<TARGET_FILE:sim_tool_unknown_native_plugin>"
    GARBOLT_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  add_dependencies(garbolt_tests garbolt-sim sim_tool_unknown_native_plugin)
  # The tests read the JSON lines back as any JSON reader would.
  find_package(nlohmann_json 3 REQUIRED)
  target_link_libraries(garbolt_tests PRIVATE nlohmann_json::nlohmann_json)
endif()
# The Windows tests' session scenario, played on Linux too: the same file
# gives the same outcome on both systems (windows.scenario.* under Wine).
if(TARGET garbolt-sim)
  add_test(NAME garbolt-sim.windows-scenario
    COMMAND garbolt-sim ${PROJECT_SOURCE_DIR}/windows/scenarios/settings-and-reload.scenario)
endif()
