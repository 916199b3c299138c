# Plays the default tour with the Linux and the Windows garbolt-sim and
# compares their JSON events, every native call included, line by line, under
# one reading of how long a prompt's completion lasts.
# -DWINE_RUN=... -DWINDOWS_SIM=... -DWINDOWS_PLUGIN=... -DLINUX_SIM=... -DWORK_DIR=...
# -DREADING=latched|one-frame
if(NOT EXISTS ${LINUX_SIM})
  message(FATAL_ERROR "parity skipped: the Linux garbolt-sim ${LINUX_SIM} is not built")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(COMMAND ${LINUX_SIM} --prompt-completion ${READING} --trace --json linux.jsonl
  WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE linux_status
  OUTPUT_FILE linux.txt ERROR_VARIABLE linux_errors)
execute_process(COMMAND ${WINE_RUN} ${WINDOWS_SIM} --plugin ${WINDOWS_PLUGIN} --prompt-completion ${READING} --trace --json windows.jsonl
  WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE windows_status
  OUTPUT_FILE windows.txt ERROR_VARIABLE windows_errors)
if(NOT linux_status EQUAL 0)
  message(FATAL_ERROR "the Linux tour ended with ${linux_status}:\n${linux_errors}")
endif()
if(NOT windows_status EQUAL 0)
  message(FATAL_ERROR "the Windows tour ended with ${windows_status}:\n${windows_errors}")
endif()
file(STRINGS ${WORK_DIR}/linux.jsonl linux_lines)
file(STRINGS ${WORK_DIR}/windows.jsonl windows_lines)
list(LENGTH linux_lines linux_count)
list(LENGTH windows_lines windows_count)
if(linux_count EQUAL 0)
  message(FATAL_ERROR "the Linux tour wrote no events")
endif()
file(READ ${WORK_DIR}/linux.jsonl linux_json)
file(READ ${WORK_DIR}/windows.jsonl windows_json)
if(NOT linux_json STREQUAL windows_json)
  set(shown 0)
  set(report "")
  math(EXPR last "${linux_count} - 1")
  foreach(i RANGE ${last})
    list(GET linux_lines ${i} l)
    if(i LESS windows_count)
      list(GET windows_lines ${i} w)
    else()
      set(w "(missing)")
    endif()
    if(NOT l STREQUAL w)
      string(APPEND report "line ${i}:\n  linux:   ${l}\n  windows: ${w}\n")
      math(EXPR shown "${shown} + 1")
      if(shown GREATER 4)
        break()
      endif()
    endif()
  endforeach()
  message(FATAL_ERROR
    "the JSON events differ (${linux_count} Linux lines, ${windows_count} Windows lines):\n${report}")
endif()
message("${linux_count} identical events (${READING})")
