# The Windows cross build:
# - Garbolt.asi, the plug-in exactly as the game loads it: a 64-bit DLL with
#   the C and C++ runtimes linked in, no exports, importing only the script
#   hook and Windows system DLLs;
# - the simulated game as a ScriptHookRDR2.dll that exports the hook's nine
#   operations under their real decorated names, and the programs that load
#   the real Garbolt.asi through it and play it under Wine: garbolt-sim.exe,
#   the same scenario runner as on Linux, plays the Windows tests
#   (windows/scenarios/*.scenario).
#
# More simulator programs are added with
#   garbolt_windows_sim_program(<target> <sources>...)
# and their checks under Wine with
#   garbolt_add_wine_test(<name> <target> [args...]).

set(GARBOLT_WINDOWS_DIR ${PROJECT_SOURCE_DIR}/windows)
# windres, for Garbolt.asi's version resource.
enable_language(RC)

# No runtime DLL may need to sit beside the game: libgcc, libstdc++ and
# winpthread all go into the module that uses them.
set(GARBOLT_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)

# --- The script hook as the plug-in imports it --------------------------------
# The real hook exports MSVC-decorated names; the import library binds the
# plain C names that platform_windows.cpp calls to those exports.
set(GARBOLT_HOOK_IMPORT ${CMAKE_BINARY_DIR}/lib/libScriptHookRDR2-import.a)
add_custom_command(
  OUTPUT ${GARBOLT_HOOK_IMPORT}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/lib
  COMMAND ${CMAKE_DLLTOOL} --input-def ${GARBOLT_WINDOWS_DIR}/ScriptHookRDR2.def
          --dllname ScriptHookRDR2.dll --output-lib ${GARBOLT_HOOK_IMPORT}
  DEPENDS ${GARBOLT_WINDOWS_DIR}/ScriptHookRDR2.def
  COMMENT "Import library for ScriptHookRDR2.dll"
  VERBATIM)
add_custom_target(garbolt_hook_import_lib DEPENDS ${GARBOLT_HOOK_IMPORT})
add_library(garbolt_hook_import STATIC IMPORTED GLOBAL)
set_target_properties(garbolt_hook_import PROPERTIES IMPORTED_LOCATION ${GARBOLT_HOOK_IMPORT})
add_dependencies(garbolt_hook_import garbolt_hook_import_lib)

# --- The plug-in ----------------------------------------------------------------
# Each function and object in a section of its own, so the link below keeps
# only what the plug-in reaches (pugixml's stream interface, for one, goes).
add_compile_options(-ffunction-sections -fdata-sections)
target_compile_options(garbolt_pugixml PRIVATE -ffunction-sections -fdata-sections)
add_subdirectory(src)
# The seam's Windows side is compiled into the platform layer; whatever links
# it links the hook's operations and the two system libraries with it.
target_link_libraries(garbolt_platform PUBLIC garbolt_hook_import user32 kernel32)
# The version resource: what Explorer and mod managers show for a shipped file.
#   garbolt_version_resource(<target> <file name> <VFT_DLL|VFT_APP> <description>)
function(garbolt_version_resource target file type description)
  get_filename_component(GARBOLT_RC_NAME ${file} NAME_WE)
  set(GARBOLT_RC_FILE ${file})
  set(GARBOLT_RC_FILE_TYPE ${type})
  set(GARBOLT_RC_DESCRIPTION ${description})
  configure_file(${GARBOLT_WINDOWS_DIR}/Garbolt.rc.in ${CMAKE_BINARY_DIR}/${GARBOLT_RC_NAME}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/${GARBOLT_RC_NAME}.rc)
endfunction()
set(GARBOLT_ASI_DESCRIPTION "Garbolt - a wardrobe for Red Dead Redemption 2")
set(GARBOLT_OUTFITS_DESCRIPTION "garbolt-outfits - checks, shares and mends Garbolt's saved outfits")
garbolt_version_resource(garbolt_asi Garbolt.asi VFT_DLL "${GARBOLT_ASI_DESCRIPTION}")
target_link_options(garbolt_asi PRIVATE ${GARBOLT_STATIC_RUNTIME} -Wl,--exclude-all-symbols
  # The same sources give the same bytes: no link time in the header.
  -Wl,--no-insert-timestamp
  -Wl,--gc-sections
  # What each part of the plug-in costs: build/windows/Garbolt.map.
  -Wl,-Map=${CMAKE_BINARY_DIR}/Garbolt.map
  # The shipped plug-in carries no symbol table (less than half the size);
  # the unwind tables that exceptions need stay.
  $<$<CONFIG:Release,MinSizeRel>:-s>)
# The most Garbolt.asi may weigh; windows.asi-release fails above it.
set(GARBOLT_ASI_SIZE_BUDGET 614400)

# --- The simulated hook -----------------------------------------------------------
# All of the simulated game in one DLL named like the hook, so Garbolt.asi's
# imports resolve to it. Besides the nine decorated names it exports the
# simulator's own classes for the programs that drive it.
file(GLOB GARBOLT_SIM_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/sim/*.cpp)
add_library(garbolt_sim_hook SHARED ${GARBOLT_SIM_SOURCES})
set_target_properties(garbolt_sim_hook PROPERTIES OUTPUT_NAME ScriptHookRDR2 PREFIX ""
  LINK_DEPENDS ${GARBOLT_WINDOWS_DIR}/ScriptHookRDR2-sim.def)
target_include_directories(garbolt_sim_hook PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(garbolt_sim_hook PRIVATE garbolt_warnings)
target_link_options(garbolt_sim_hook PRIVATE ${GARBOLT_STATIC_RUNTIME}
  ${GARBOLT_WINDOWS_DIR}/ScriptHookRDR2-sim.def -Wl,--export-all-symbols -Wl,--exclude-libs,ALL)

# A program that drives the simulated game: links the simulated hook, and is
# built together with the plug-in it loads.
function(garbolt_windows_sim_program target)
  add_executable(${target} ${ARGN})
  target_link_libraries(${target} PRIVATE garbolt_sim_hook garbolt_warnings)
  target_link_options(${target} PRIVATE ${GARBOLT_STATIC_RUNTIME})
  add_dependencies(${target} garbolt_asi)
endfunction()

# The second program that holds a file while the plug-in saves it: started by
# garbolt-sim.exe's `hold` command, from beside it.
add_executable(garbolt-file-holder ${GARBOLT_WINDOWS_DIR}/file-holder.cpp)
target_link_libraries(garbolt-file-holder PRIVATE garbolt_warnings)
target_link_options(garbolt-file-holder PRIVATE ${GARBOLT_STATIC_RUNTIME})

# A stand-in plug-in built exactly like Garbolt.asi, whose script routine
# waits inside frames with clean-ups: the check program unloads it and sees
# whether the hook's termination unwound through all of them.
add_library(garbolt_unwind_probe MODULE ${GARBOLT_WINDOWS_DIR}/unwind-probe.cpp)
set_target_properties(garbolt_unwind_probe PROPERTIES
  OUTPUT_NAME garbolt-unwind-probe PREFIX "" SUFFIX ".asi")
target_link_libraries(garbolt_unwind_probe PRIVATE garbolt_core garbolt_warnings)
target_link_options(garbolt_unwind_probe PRIVATE ${GARBOLT_STATIC_RUNTIME} -Wl,--exclude-all-symbols)
garbolt_windows_sim_program(garbolt-unwind-check ${GARBOLT_WINDOWS_DIR}/unwind-check.cpp)
# Garbolt.asi's store thread under Windows: a large outfit file read beside
# the frames, and unloads while it works.
garbolt_windows_sim_program(garbolt-store-thread-check ${GARBOLT_WINDOWS_DIR}/store-thread-check.cpp)
add_dependencies(garbolt-unwind-check garbolt_unwind_probe)

# The player and game folder the scenario runner shares with the Linux tests.
add_subdirectory(${PROJECT_SOURCE_DIR}/sim/play ${CMAKE_BINARY_DIR}/sim/play)

# The scenario runner, played under Wine like on Linux.
add_subdirectory(${PROJECT_SOURCE_DIR}/tools/garbolt-sim ${CMAKE_BINARY_DIR}/tools/garbolt-sim)
add_dependencies(garbolt-sim garbolt-file-holder)

# The outfit file tool, shipped beside Garbolt.asi.
add_subdirectory(${PROJECT_SOURCE_DIR}/tools/garbolt-outfits ${CMAKE_BINARY_DIR}/tools/garbolt-outfits)
garbolt_version_resource(garbolt-outfits garbolt-outfits.exe VFT_APP "${GARBOLT_OUTFITS_DESCRIPTION}")

# --- Checks -------------------------------------------------------------------------
if(NOT GARBOLT_BUILD_TESTS)
  return()
endif()
enable_testing()

find_program(GARBOLT_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine NO_CMAKE_FIND_ROOT_PATH)
set(GARBOLT_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(GARBOLT_WINE_RUN ${GARBOLT_WINDOWS_DIR}/wine-run)

# The Wine prefix is made once, by the first test that needs it.
add_test(NAME windows.wine-prefix
  COMMAND ${GARBOLT_WINE_RUN} --prepare)
set_tests_properties(windows.wine-prefix PROPERTIES
  FIXTURES_SETUP garbolt_wine
  TIMEOUT 300
  ENVIRONMENT "GARBOLT_WINE=${GARBOLT_WINE64};WINEPREFIX=${GARBOLT_WINE_PREFIX}")

function(garbolt_add_wine_test name target)
  add_test(NAME ${name} COMMAND ${GARBOLT_WINE_RUN} $<TARGET_FILE:${target}> ${ARGN})
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED garbolt_wine
    TIMEOUT 120
    ENVIRONMENT "GARBOLT_WINE=${GARBOLT_WINE64};WINEPREFIX=${GARBOLT_WINE_PREFIX}")
endfunction()

# The Windows tests: scenario files that garbolt-sim.exe plays with the real
# Garbolt.asi (settings-and-reload plays on Linux too, as garbolt-sim.windows-scenario).
file(GLOB GARBOLT_WINDOWS_SCENARIOS CONFIGURE_DEPENDS ${GARBOLT_WINDOWS_DIR}/scenarios/*.scenario)
foreach(scenario ${GARBOLT_WINDOWS_SCENARIOS})
  get_filename_component(name ${scenario} NAME_WE)
  garbolt_add_wine_test(windows.scenario.${name} garbolt-sim
    --plugin $<TARGET_FILE:garbolt_asi> ${scenario})
endforeach()
garbolt_add_wine_test(windows.script-unwinding garbolt-unwind-check)
garbolt_add_wine_test(windows.store-thread garbolt-store-thread-check)
# The plug-in's GetTickCount import answers the simulated clock (sim/plugin.cpp
# redirects it): Shift held for 30 s of game time, played in well under 30 s.
garbolt_add_wine_test(windows.simulated-key-clock garbolt-sim
  ${GARBOLT_WINDOWS_DIR}/key-clock.scenario)

# What the game's loader sees in Garbolt.asi: no exports, and imports only from
# the hook and Windows itself.
add_test(NAME windows.asi-imports
  COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DMODULE=$<TARGET_FILE:garbolt_asi>
          -P ${GARBOLT_WINDOWS_DIR}/CheckModule.cmake)
# Garbolt.asi within its size budget, with its version resource; the outfit
# tool with its own.
add_test(NAME windows.asi-release
  COMMAND ${CMAKE_COMMAND} -DMODULE=$<TARGET_FILE:garbolt_asi> -DBUDGET=${GARBOLT_ASI_SIZE_BUDGET}
          -DVERSION=${PROJECT_VERSION} -DDESCRIPTION=${GARBOLT_ASI_DESCRIPTION}
          -P ${GARBOLT_WINDOWS_DIR}/CheckRelease.cmake)
add_test(NAME windows.outfits-release
  COMMAND ${CMAKE_COMMAND} -DMODULE=$<TARGET_FILE:garbolt-outfits>
          -DVERSION=${PROJECT_VERSION} -DDESCRIPTION=${GARBOLT_OUTFITS_DESCRIPTION}
          -P ${GARBOLT_WINDOWS_DIR}/CheckRelease.cmake)
# The simulated hook must offer exactly the exports the plug-in imports.
add_test(NAME windows.sim-hook-exports
  COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DMODULE=$<TARGET_FILE:garbolt_sim_hook>
          -DHOOK_DEF=${GARBOLT_WINDOWS_DIR}/ScriptHookRDR2.def
          -P ${GARBOLT_WINDOWS_DIR}/CheckModule.cmake)

# The scenario runner plays the same tour here as in the Linux build.
include(${PROJECT_SOURCE_DIR}/tools/garbolt-sim/WindowsParity.cmake)

# The outfit file tool plays a player's session under Wine as on Linux.
include(${PROJECT_SOURCE_DIR}/tools/garbolt-outfits/WindowsChecks.cmake)
