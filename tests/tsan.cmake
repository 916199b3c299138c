# The keyboard table and the outfit store's thread beside the script: a small
# program of its own, so the tsan preset can build and run just this under
# ThreadSanitizer (scripts/test: `cmake --build --preset tsan --target garbolt_threads_test`).
add_executable(garbolt_threads_test ${CMAKE_CURRENT_LIST_DIR}/tsan_keyboard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tsan_store.cpp)
# The whole simulated game: the loaded plug-in calls back into its hook operations.
target_link_libraries(garbolt_threads_test PRIVATE garbolt_test_support
  "$<LINK_LIBRARY:WHOLE_ARCHIVE,garbolt_sim>"
  GTest::gtest GTest::gtest_main garbolt_warnings)
set_target_properties(garbolt_threads_test PROPERTIES ENABLE_EXPORTS ON)
add_dependencies(garbolt_threads_test garbolt_plugin)
gtest_discover_tests(garbolt_threads_test DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
