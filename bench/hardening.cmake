# The whole frame (menu and wardrobe scene) against its floor, the keyboard
# handler and the outfit store, with allocations counted (its own program,
# since it replaces operator new).
add_executable(garbolt_bench_plugin ${CMAKE_CURRENT_LIST_DIR}/hardening_bench.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bridge.cpp)
target_include_directories(garbolt_bench_plugin PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(garbolt_bench_plugin PRIVATE garbolt_core garbolt_play benchmark::benchmark
  garbolt_warnings)
# GCC sees the replaced operator new inlined next to free() and takes them
# for a mismatched pair; they are the same allocator here.
target_compile_options(garbolt_bench_plugin PRIVATE
  $<$<CXX_COMPILER_ID:GNU>:-Wno-mismatched-new-delete>)
