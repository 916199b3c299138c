# The release package a player installs: Garbolt-<version>-win64.zip. Only
# Garbolt.asi sits at its top, where the game's loader looks for it; all else
# is in the Garbolt folder that the plug-in keeps its files in, so unpacking
# into the game folder adds one file and one folder beside the game's own.
# It ships no outfit or settings file: a player's own must survive an update
# that unpacks the package over them (the plug-in makes both when it first
# saves). Made from the Windows build:
#   cmake --build --preset windows --target release-zip
# The same build gives the same archive byte for byte (cmake/MakePackage.cmake).
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Windows")
  return()
endif()

# What goes into the package: the install rules (the outfit tool adds its own).
install(FILES $<TARGET_FILE:garbolt_asi> DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/package/INSTALL.txt
  ${PROJECT_SOURCE_DIR}/package/THIRD-PARTY-NOTICES.txt DESTINATION Garbolt)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION Garbolt RENAME LICENSE.txt)
install(FILES ${PROJECT_SOURCE_DIR}/docs/players.md DESTINATION Garbolt RENAME README.txt)

find_program(GARBOLT_ZIP zip REQUIRED)
set(GARBOLT_PACKAGE ${CMAKE_BINARY_DIR}/Garbolt-${PROJECT_VERSION}-win64.zip)
set(GARBOLT_MAKE_PACKAGE ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
  -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DZIP=${GARBOLT_ZIP} -DPACKAGE=${GARBOLT_PACKAGE}
  -P ${PROJECT_SOURCE_DIR}/cmake/MakePackage.cmake)
add_custom_target(release-zip COMMAND ${GARBOLT_MAKE_PACKAGE}
  COMMENT "Garbolt-${PROJECT_VERSION}-win64.zip" VERBATIM)
add_dependencies(release-zip garbolt_asi garbolt-outfits)

# The package holds exactly the files to install, the licence and notices
# among them and no player file, with their checksums; it comes out the same
# when made again, and unpacked over an installed game it keeps the player's
# outfits and settings.
add_test(NAME package.FileList
  COMMAND ${CMAKE_COMMAND}
    -DBUILD_DIR=${CMAKE_BINARY_DIR}
    -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
    -DZIP=${GARBOLT_ZIP}
    -DPACKAGE=${GARBOLT_PACKAGE}
    -P ${PROJECT_SOURCE_DIR}/cmake/CheckPackage.cmake)
