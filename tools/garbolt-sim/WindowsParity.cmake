# Parity: the real Garbolt.asi, played by the Windows build of garbolt-sim
# under Wine, must give the same JSON events for the default tour as the
# Linux build gives for Garbolt.so. The Linux program comes from the dev
# build (GARBOLT_LINUX_SIM names another); without it the test is skipped.
# Played under both readings of how long a prompt's completion lasts.
if(NOT GARBOLT_BUILD_TESTS OR NOT TARGET garbolt-sim)
  return()
endif()
set(GARBOLT_LINUX_SIM ${PROJECT_SOURCE_DIR}/build/dev/bin/garbolt-sim CACHE FILEPATH
  "The Linux garbolt-sim that the Windows one is compared with")
foreach(reading latched one-frame)
  set(name windows.sim-tour-parity)
  if(reading STREQUAL "one-frame")
    set(name windows.sim-tour-parity.one-frame)
  endif()
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND}
      -DWINE_RUN=${GARBOLT_WINE_RUN}
      -DWINDOWS_SIM=$<TARGET_FILE:garbolt-sim>
      -DWINDOWS_PLUGIN=$<TARGET_FILE:garbolt_asi>
      -DLINUX_SIM=${GARBOLT_LINUX_SIM}
      -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/parity-${reading}
      -DREADING=${reading}
      -P ${CMAKE_CURRENT_LIST_DIR}/CheckParity.cmake)
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED garbolt_wine
    TIMEOUT 300
    SKIP_REGULAR_EXPRESSION "parity skipped"
    ENVIRONMENT "GARBOLT_WINE=${GARBOLT_WINE64};WINEPREFIX=${GARBOLT_WINE_PREFIX}")
endforeach()
