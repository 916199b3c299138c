# The plug-in's saves in a child process, for the fault tests (run as
# nobody, under a file size limit, or killed during a save).
add_executable(garbolt_hardening_child ${CMAKE_CURRENT_LIST_DIR}/hardening_child.cpp)
target_link_libraries(garbolt_hardening_child PRIVATE garbolt_core
  "$<LINK_LIBRARY:WHOLE_ARCHIVE,garbolt_sim>" garbolt_warnings)
add_dependencies(garbolt_tests garbolt_hardening_child)

# The soak program: random play with restarts, watching memory and per-frame
# allocations. CTest runs a short soak (most useful in the asan preset);
# scripts/soak runs the full 100,000 frames.
add_executable(garbolt_soak ${CMAKE_CURRENT_LIST_DIR}/hardening_soak.cpp)
# The whole simulated game: the loaded plug-in calls back into its hook
# operations, which nothing in the program itself refers to.
target_link_libraries(garbolt_soak PRIVATE garbolt_play
  "$<LINK_LIBRARY:WHOLE_ARCHIVE,garbolt_sim>" garbolt_warnings)
set_target_properties(garbolt_soak PROPERTIES ENABLE_EXPORTS ON)
add_dependencies(garbolt_soak garbolt_plugin)
add_dependencies(garbolt_tests garbolt_soak)
add_test(NAME Soak.ShortRandomPlayWithRestarts COMMAND garbolt_soak 12000 2000)
set_tests_properties(Soak.ShortRandomPlayWithRestarts PROPERTIES TIMEOUT 300)
if(GARBOLT_BOTH_PROMPT_READINGS)
  add_test(NAME Soak.ShortRandomPlayWithRestarts.one-frame COMMAND garbolt_soak 12000 2000)
  set_tests_properties(Soak.ShortRandomPlayWithRestarts.one-frame PROPERTIES TIMEOUT 300
    ENVIRONMENT GARBOLT_PROMPT_COMPLETION=one-frame)
endif()
