# The direction of the plug-in's layers, checked on the sources as they are,
# and with an include planted that points the wrong way, which must be caught.
set(GARBOLT_LAYER_CHECK ${CMAKE_COMMAND} -DMANIFEST=${CMAKE_BINARY_DIR}/layers.cmake
  -DSOURCE_DIR=${PROJECT_SOURCE_DIR}/src -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake)
add_test(NAME Layers.IncludesPointDown COMMAND ${GARBOLT_LAYER_CHECK})

# Each plant: the file, the include planted into it, and the layer that file is in.
foreach(plant
    "SubsystemSeesScriptRoutine|menu/draw.cpp|host/script.h|garbolt_menu"
    "IniSeesNotifications|settings/ini.cpp|host/notification.h|garbolt_ini"
    "PlatformSeesMenu|host/keyboard.cpp|menu/menu.h|garbolt_platform"
    "PluginSeesSimulator|wardrobe/store.cpp|sim/game.h|garbolt_wardrobe")
  string(REPLACE "|" ";" fields "${plant}")
  list(GET fields 0 name)
  list(GET fields 1 file)
  list(GET fields 2 include)
  list(GET fields 3 layer)
  add_test(NAME Layers.Planted${name}Fails
    COMMAND ${CMAKE_COMMAND} -DMANIFEST=${CMAKE_BINARY_DIR}/layers.cmake
      -DSOURCE_DIR=${PROJECT_SOURCE_DIR}/src -DPLANT=${file}:${include}
      -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake)
  # The check names the file, its layer and the include it refuses.
  string(REGEX REPLACE "([.()])" "\\\\\\1" pattern "${file} (${layer}) includes ${include}")
  set_tests_properties(Layers.Planted${name}Fails PROPERTIES PASS_REGULAR_EXPRESSION "${pattern}")
endforeach()
