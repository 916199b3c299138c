# The garbolt-outfits tests run the built program itself, as a player does.
if(TARGET garbolt-outfits)
  target_compile_definitions(garbolt_tests PRIVATE
    GARBOLT_OUTFITS_PROGRAM="$<TARGET_FILE:garbolt-outfits>")
  target_link_libraries(garbolt_tests PRIVATE garbolt_outfits_tool)
  add_dependencies(garbolt_tests garbolt-outfits)
endif()
