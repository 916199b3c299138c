# The release package a player installs: Garbolt-<version>-win64.zip with
# Garbolt.asi, the Garbolt/ folder with its two default files, and the install
# text, all at the top of the archive so they are copied into the game folder
# as they are. Made from the Windows build: `cpack` in build/windows.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Windows")
  return()
endif()

install(FILES $<TARGET_FILE:garbolt_asi> DESTINATION .)
install(FILES
  ${PROJECT_SOURCE_DIR}/package/Garbolt/SavedOutfits.xml
  ${PROJECT_SOURCE_DIR}/package/Garbolt/Garbolt.ini
  DESTINATION Garbolt)
install(FILES ${PROJECT_SOURCE_DIR}/package/INSTALL.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Garbolt)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME "Garbolt-${PROJECT_VERSION}-win64")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "A wardrobe for Red Dead Redemption 2")
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
include(CPack)

# The package holds exactly the player's files, with the default files as shipped.
add_test(NAME package.FileList
  COMMAND ${CMAKE_COMMAND}
    -DBUILD_DIR=${CMAKE_BINARY_DIR}
    -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
    -DPACKAGE=${CMAKE_BINARY_DIR}/Garbolt-${PROJECT_VERSION}-win64.zip
    -P ${PROJECT_SOURCE_DIR}/cmake/CheckPackage.cmake)
