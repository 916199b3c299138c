# A player's session with garbolt-outfits on one file, run the same way by
# the Linux build and, under Wine, by the Windows .exe:
#   cmake -DPROGRAM=... -DDATA=tests/data/outfits-tool -DWORK=<scratch folder>
#         [-DLAUNCHER=wine-run] -P PlayerSession.cmake
# The game folder starts with broken-rows.xml as its SavedOutfits.xml; check,
# mend, list, export and import then give exactly the texts and files kept
# beside it in DATA; a copy of the program in the Garbolt folder, started
# elsewhere, lists the same outfits.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/Garbolt)
file(COPY_FILE ${DATA}/broken-rows.xml ${WORK}/Garbolt/SavedOutfits.xml)

set(launcher)
if(LAUNCHER)
  set(launcher ${LAUNCHER})
endif()

# Runs the program in the game folder; fails unless it exits with `status`.
# Its output, without the carriage returns of a Windows console, goes into
# `output`.
function(run_tool status output)
  execute_process(COMMAND ${launcher} ${PROGRAM} ${ARGN}
    WORKING_DIRECTORY ${WORK}
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REPLACE "\r" "" out "${out}")
  string(REPLACE "\r" "" err "${err}")
  if(NOT result STREQUAL "${status}")
    message(FATAL_ERROR "garbolt-outfits ${ARGN}: exit ${result}, expected ${status}\n${out}${err}")
  endif()
  set(${output} "${out}${err}" PARENT_SCOPE)
endfunction()

function(expect_text name actual)
  file(READ ${DATA}/${name} expected)
  if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "${name} differs:\n--- expected\n${expected}--- got\n${actual}")
  endif()
endfunction()

function(expect_file name path)
  file(READ ${path} actual HEX)
  file(READ ${DATA}/${name} expected HEX)
  if(NOT actual STREQUAL expected)
    file(READ ${path} shown)
    message(FATAL_ERROR "${path} differs from ${name}:\n${shown}")
  endif()
endfunction()

run_tool(1 out check)
expect_text(session-check.txt "${out}")

run_tool(0 out mend)
# The backup's name carries the time; everything else is fixed.
string(REGEX REPLACE "backup-[0-9]+-[0-9]+(-[0-9]+)?" "backup-STAMP" out "${out}")
expect_text(session-mend.txt "${out}")
file(GLOB backups ${WORK}/Garbolt/SavedOutfits-backup-*.xml)
list(LENGTH backups count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "mend left ${count} backups: ${backups}")
endif()
expect_file(broken-rows.xml ${backups})

run_tool(0 out check)
expect_text(session-check-mended.txt "${out}")

run_tool(0 out export 8 shared.xml)
expect_file(session-shared.xml ${WORK}/shared.xml)
run_tool(0 out import shared.xml 21)
run_tool(1 out import shared.xml 21)
run_tool(0 out list)
expect_text(session-list.txt "${out}")
expect_file(session-final.xml ${WORK}/Garbolt/SavedOutfits.xml)
file(GLOB backups ${WORK}/Garbolt/SavedOutfits-backup-*.xml)
list(LENGTH backups count)
if(NOT count EQUAL 2)
  message(FATAL_ERROR "mend and import left ${count} backups: ${backups}")
endif()

# Where the release puts it, in the Garbolt folder, the program finds the
# file beside itself wherever it is started (a double-click starts it there).
get_filename_component(program_name ${PROGRAM} NAME)
file(COPY_FILE ${PROGRAM} ${WORK}/Garbolt/${program_name})
file(MAKE_DIRECTORY ${WORK}/elsewhere)
execute_process(COMMAND ${launcher} ${WORK}/Garbolt/${program_name} list
  WORKING_DIRECTORY ${WORK}/elsewhere RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REPLACE "\r" "" out "${out}${err}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "garbolt-outfits list from its own folder: exit ${result}\n${out}")
endif()
expect_text(session-list.txt "${out}")
file(REMOVE_RECURSE ${WORK})
