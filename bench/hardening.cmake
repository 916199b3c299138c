# The whole frame (menu and wardrobe scene) against its floor, the keyboard
# handler and the outfit store, with allocations counted (its own program,
# since it replaces operator new).
add_executable(garbolt_bench_plugin ${CMAKE_CURRENT_LIST_DIR}/hardening_bench.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bridge.cpp)
target_include_directories(garbolt_bench_plugin PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(garbolt_bench_plugin PRIVATE garbolt_core garbolt_play garbolt_counting_new
  benchmark::benchmark garbolt_warnings)
