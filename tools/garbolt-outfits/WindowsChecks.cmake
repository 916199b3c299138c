# Checks of the Windows garbolt-outfits.exe, included by the Windows build
# once its Wine helpers exist:
# - a player's session on one file under Wine gives the same texts and files
#   as the Linux build (PlayerSession.cmake, with the data kept in tests/);
# - the .exe runs on its own in a game folder: it imports only Windows
#   system DLLs, so neither the script hook nor a runtime DLL has to sit
#   beside it.
if(NOT GARBOLT_BUILD_TESTS OR NOT TARGET garbolt-outfits)
  return()
endif()

add_test(NAME windows.outfits-player-session
  COMMAND ${CMAKE_COMMAND}
    -DLAUNCHER=${GARBOLT_WINE_RUN}
    -DPROGRAM=$<TARGET_FILE:garbolt-outfits>
    -DDATA=${PROJECT_SOURCE_DIR}/tests/data/outfits-tool
    -DWORK=${CMAKE_BINARY_DIR}/outfits-player-session
    -P ${CMAKE_CURRENT_LIST_DIR}/PlayerSession.cmake)
set_tests_properties(windows.outfits-player-session PROPERTIES
  FIXTURES_REQUIRED garbolt_wine
  TIMEOUT 300
  ENVIRONMENT "GARBOLT_WINE=${GARBOLT_WINE64};WINEPREFIX=${GARBOLT_WINE_PREFIX}")

add_test(NAME windows.outfits-imports
  COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DPROGRAM=$<TARGET_FILE:garbolt-outfits>
          -P ${CMAKE_CURRENT_LIST_DIR}/CheckImports.cmake)
