# A small program that the file tests run in a child process, as another user
# (through setpriv) or under a file size limit, to meet real permission and
# full-disk failures.
add_executable(garbolt_files_child ${CMAKE_CURRENT_LIST_DIR}/files_child.cpp)
target_link_libraries(garbolt_files_child PRIVATE garbolt_core garbolt_warnings)
add_dependencies(garbolt_tests garbolt_files_child)
