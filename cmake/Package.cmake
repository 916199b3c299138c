# The release package a player installs: Garbolt-<version>-win64.zip with
# Garbolt.asi, garbolt-outfits.exe, the Garbolt/ folder with its two default
# files, the install text and SHA256SUMS, all at the top of the archive so they
# are copied into the game folder as they are. Made from the Windows build:
#   cmake --build --preset windows --target release-zip
# The same build gives the same archive byte for byte (cmake/MakePackage.cmake).
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Windows")
  return()
endif()

# What goes into the package: the install rules (the tools add their own).
install(FILES $<TARGET_FILE:garbolt_asi> DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/package/INSTALL.txt DESTINATION .)

find_program(GARBOLT_ZIP zip REQUIRED)
set(GARBOLT_PACKAGE ${CMAKE_BINARY_DIR}/Garbolt-${PROJECT_VERSION}-win64.zip)
set(GARBOLT_MAKE_PACKAGE ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
  -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DZIP=${GARBOLT_ZIP} -DPACKAGE=${GARBOLT_PACKAGE}
  -P ${PROJECT_SOURCE_DIR}/cmake/MakePackage.cmake)
add_custom_target(release-zip COMMAND ${GARBOLT_MAKE_PACKAGE}
  COMMENT "Garbolt-${PROJECT_VERSION}-win64.zip" VERBATIM)
add_dependencies(release-zip garbolt_asi garbolt-outfits)

# The package holds exactly the player's files, with the default files as
# shipped, their checksums, and comes out the same when made again.
add_test(NAME package.FileList
  COMMAND ${CMAKE_COMMAND}
    -DBUILD_DIR=${CMAKE_BINARY_DIR}
    -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
    -DZIP=${GARBOLT_ZIP}
    -DPACKAGE=${GARBOLT_PACKAGE}
    -P ${PROJECT_SOURCE_DIR}/cmake/CheckPackage.cmake)
