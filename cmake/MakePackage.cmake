# Makes the release zip from the install rules of a Windows build folder.
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DZIP=<zip program> -DPACKAGE=...zip -P MakePackage.cmake
#
# Reproducible: every entry has the same time (SOURCE_DATE_EPOCH, else the
# time of the commit the sources are at), the same permissions, no owner or
# extra time fields (zip -X), and the entries come in sorted order.

cmake_minimum_required(VERSION 3.25)

set(stage ${BUILD_DIR}/release-stage)
file(REMOVE_RECURSE ${stage})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${stage}
  RESULT_VARIABLE installed OUTPUT_QUIET ERROR_VARIABLE log)
if(NOT installed EQUAL 0)
  message(FATAL_ERROR "installing into ${stage} failed:\n${log}")
endif()

# Garbolt/SHA256SUMS: the other files' checksums, by their paths in the game
# folder ("sha256sum -c Garbolt/SHA256SUMS" there).
file(GLOB_RECURSE files RELATIVE ${stage} ${stage}/*)
list(SORT files)
set(sums "")
foreach(file ${files})
  file(SHA256 ${stage}/${file} hash)
  string(APPEND sums "${hash}  ${file}\n")
endforeach()
file(WRITE ${stage}/Garbolt/SHA256SUMS "${sums}")
list(APPEND files Garbolt/SHA256SUMS)
list(SORT files)

set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "")
  execute_process(COMMAND git -C ${SOURCE_DIR} log -1 --format=%ct
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE found)
  if(NOT found EQUAL 0 OR epoch STREQUAL "")
    set(epoch 1767225600)  # 2026-01-01, for sources outside git
  endif()
endif()
file(CHMOD_RECURSE ${stage} FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
  DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
# Zip keeps local time: the same clock everywhere.
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC touch -d @${epoch} ${files}
  WORKING_DIRECTORY ${stage} RESULT_VARIABLE touched)
file(REMOVE ${PACKAGE})
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${ZIP} -X -D -q -9 ${PACKAGE} ${files}
  WORKING_DIRECTORY ${stage} RESULT_VARIABLE zipped ERROR_VARIABLE log)
if(NOT touched EQUAL 0 OR NOT zipped EQUAL 0)
  message(FATAL_ERROR "making ${PACKAGE} failed:\n${log}")
endif()
file(SHA256 ${PACKAGE} hash)
message(STATUS "${PACKAGE}\n  SHA-256 ${hash}")
