# Every native's hash is written once, in its row of the native list
# (src/host/native_list.def): the plug-in, the simulated game, the tools,
# benchmarks and fuzzers take it from there. Tests may spell a hash out, as
# part of an exact message they expect.
#
#   cmake -DSOURCE_DIR=<repository> [-DPLANT=<file>:<text>] -P CheckNativeList.cmake
#
# PLANT adds a text to a file as read, to prove the check catches it.

cmake_minimum_required(VERSION 3.25)

set(list_file src/host/native_list.def)
file(STRINGS ${SOURCE_DIR}/${list_file} rows REGEX "^GARBOLT_NATIVE")
set(hashes "")
foreach(row ${rows})
  if(row MATCHES "^GARBOLT_NATIVE[A-Z_]*\\([A-Za-z0-9]+, (0x[0-9A-F]+), \"([^\"]+)\"")
    list(APPEND hashes ${CMAKE_MATCH_1})
    set(NAME_${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
  endif()
endforeach()
list(LENGTH hashes count)
if(count EQUAL 0)
  message(FATAL_ERROR "No rows in ${list_file}")
endif()

file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/src/* ${SOURCE_DIR}/sim/* ${SOURCE_DIR}/tools/* ${SOURCE_DIR}/bench/*
  ${SOURCE_DIR}/fuzz/*.cpp ${SOURCE_DIR}/fuzz/*.h ${SOURCE_DIR}/windows/*)
list(SORT files)
set(problems "")
foreach(file ${files})
  if(file STREQUAL list_file)
    continue()
  endif()
  file(READ ${SOURCE_DIR}/${file} text)
  string(TOUPPER "${text}" text)
  if(PLANT MATCHES "^${file}:(.+)$")
    string(APPEND text "${CMAKE_MATCH_1}")
  endif()
  foreach(hash ${hashes})
    string(FIND "${text}" "${hash}" at)
    if(NOT at EQUAL -1)
      string(APPEND problems "  ${hash} (${NAME_${hash}}) is also written in ${file}\n")
    endif()
  endforeach()
endforeach()

if(problems)
  message(FATAL_ERROR "Native hashes written outside the native list:\n${problems}"
    "Take the hash from the list's constant (host/native_hashes.h) instead.")
endif()
message(STATUS "${count} natives, each hash written once")
