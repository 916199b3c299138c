# Start-up load and save of the settings file against its size.
add_executable(garbolt_bench_ini ${CMAKE_CURRENT_LIST_DIR}/ini_bench.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bridge.cpp)
target_include_directories(garbolt_bench_ini PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(garbolt_bench_ini PRIVATE garbolt_core garbolt_play benchmark::benchmark
  garbolt_warnings)
