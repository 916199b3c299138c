# The garbolt-sim program's tests run the built program itself.
if(TARGET garbolt-sim)
  target_compile_definitions(garbolt_tests PRIVATE
    GARBOLT_SIM_PROGRAM="$<TARGET_FILE:garbolt-sim>"
    GARBOLT_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  add_dependencies(garbolt_tests garbolt-sim)
endif()
