# The garbolt-outfits tests run the built program itself, as a player does.
if(TARGET garbolt-outfits)
  target_compile_definitions(garbolt_tests PRIVATE
    GARBOLT_OUTFITS_PROGRAM="$<TARGET_FILE:garbolt-outfits>")
  target_link_libraries(garbolt_tests PRIVATE garbolt_outfits_tool)
  add_dependencies(garbolt_tests garbolt-outfits)
endif()

# A player's whole session on one file, checked against the texts and files
# in tests/data/outfits-tool (the Windows build plays the same under Wine).
if(TARGET garbolt-outfits)
  add_test(NAME garbolt-outfits.player-session
    COMMAND ${CMAKE_COMMAND}
      -DPROGRAM=$<TARGET_FILE:garbolt-outfits>
      -DDATA=${CMAKE_CURRENT_SOURCE_DIR}/data/outfits-tool
      -DWORK=${CMAKE_CURRENT_BINARY_DIR}/outfits-player-session
      -P ${PROJECT_SOURCE_DIR}/tools/garbolt-outfits/PlayerSession.cmake)
endif()
