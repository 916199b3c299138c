# The plug-in's saves in a child process, for the fault tests (run as
# nobody, under a file size limit, or killed during a save).
add_executable(garbolt_hardening_child ${CMAKE_CURRENT_LIST_DIR}/hardening_child.cpp)
target_link_libraries(garbolt_hardening_child PRIVATE garbolt_core garbolt_sim garbolt_warnings)
add_dependencies(garbolt_tests garbolt_hardening_child)
