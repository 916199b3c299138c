# Makes the release package twice and checks that both archives are the same
# bytes, its file list (the licence and notices in, no player file, nothing
# but Garbolt.asi outside Garbolt/), its texts and checksums, and an update
# that unpacks it over an installed game.
# -DBUILD_DIR=... -DSOURCE_DIR=... -DZIP=... -DPACKAGE=...zip
cmake_minimum_required(VERSION 3.25)

function(make_package hash)
  execute_process(COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${BUILD_DIR} -DSOURCE_DIR=${SOURCE_DIR}
      -DZIP=${ZIP} -DPACKAGE=${PACKAGE} -P ${CMAKE_CURRENT_LIST_DIR}/MakePackage.cmake
    RESULT_VARIABLE made OUTPUT_VARIABLE log ERROR_VARIABLE log)
  if(NOT made EQUAL 0 OR NOT EXISTS ${PACKAGE})
    message(FATAL_ERROR "making the package failed:\n${log}")
  endif()
  file(SHA256 ${PACKAGE} digest)
  set(${hash} ${digest} PARENT_SCOPE)
endfunction()

make_package(first)
# A newer file time on the plug-in must not show in the archive.
file(TOUCH ${BUILD_DIR}/bin/Garbolt.asi)
make_package(second)
if(NOT first STREQUAL second)
  message(FATAL_ERROR "the package differs when made again (${first}, then ${second})")
endif()

set(unpacked ${BUILD_DIR}/package-check)
file(REMOVE_RECURSE ${unpacked})
file(MAKE_DIRECTORY ${unpacked})
file(ARCHIVE_EXTRACT INPUT ${PACKAGE} DESTINATION ${unpacked})
file(GLOB_RECURSE found RELATIVE ${unpacked} ${unpacked}/*)
list(SORT found)

# The player's files are theirs: an update must never bring either.
foreach(player Garbolt/SavedOutfits.xml Garbolt/Garbolt.ini)
  if(${player} IN_LIST found)
    message(FATAL_ERROR "the package ships ${player}: unpacked over a game it would replace "
      "the player's own")
  endif()
endforeach()
# The licence and the notices of what is linked in go with every copy.
foreach(notice Garbolt/LICENSE.txt Garbolt/THIRD-PARTY-NOTICES.txt)
  if(NOT ${notice} IN_LIST found)
    message(FATAL_ERROR "the package has no ${notice}")
  endif()
endforeach()
# The game folder gets Garbolt.asi and the Garbolt folder, nothing else.
foreach(file ${found})
  if(NOT file STREQUAL "Garbolt.asi" AND NOT file MATCHES "^Garbolt/")
    message(FATAL_ERROR "the package puts ${file} into the game folder; only Garbolt.asi "
      "belongs there, the rest in Garbolt/")
  endif()
endforeach()
set(expected Garbolt.asi Garbolt/INSTALL.txt Garbolt/LICENSE.txt Garbolt/README.txt
  Garbolt/SHA256SUMS Garbolt/THIRD-PARTY-NOTICES.txt Garbolt/garbolt-outfits.exe)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "the package holds [${found}], expected [${expected}]")
endif()
foreach(shipped_source
    Garbolt/INSTALL.txt=package/INSTALL.txt
    Garbolt/THIRD-PARTY-NOTICES.txt=package/THIRD-PARTY-NOTICES.txt
    Garbolt/LICENSE.txt=LICENSE
    Garbolt/README.txt=docs/players.md)
  string(REPLACE "=" ";" pair ${shipped_source})
  list(GET pair 0 file)
  list(GET pair 1 source)
  file(READ ${unpacked}/${file} shipped HEX)
  file(READ ${SOURCE_DIR}/${source} original HEX)
  if(NOT shipped STREQUAL original)
    message(FATAL_ERROR "${file} in the package differs from ${source}")
  endif()
endforeach()
foreach(program Garbolt.asi Garbolt/garbolt-outfits.exe)
  file(READ ${unpacked}/${program} head LIMIT 2 HEX)
  if(NOT head STREQUAL "4d5a")
    message(FATAL_ERROR "${program} is no Windows program")
  endif()
endforeach()
# One checksum line per other file, in sorted order, each matching.
set(sums "")
list(REMOVE_ITEM found Garbolt/SHA256SUMS)
foreach(file ${found})
  file(SHA256 ${unpacked}/${file} hash)
  string(APPEND sums "${hash}  ${file}\n")
endforeach()
file(READ ${unpacked}/Garbolt/SHA256SUMS shippedSums)
if(NOT shippedSums STREQUAL sums)
  message(FATAL_ERROR "SHA256SUMS reads\n${shippedSums}expected\n${sums}")
endif()
file(REMOVE_RECURSE ${unpacked})

# An update as a player makes it: the package unpacked over an installed game
# folder, every file replaced ("Replace all"). The player's outfits, settings
# and notes stay byte for byte; the plug-in is the new one.
set(game ${BUILD_DIR}/package-update-check)
file(REMOVE_RECURSE ${game})
set(outfits "<?xml version=\"1.0\"?>\n<Garbolt>\n\t<Outfit>\n\t\t<Name>Mine</Name>\n")
string(APPEND outfits "\t\t<Slot>6</Slot>\n\t</Outfit>\n</Garbolt>\n")
set(settings "; mine\r\n[Garbolt]\r\nbUseCamera=1\r\niMenuKey=117\r\n")
file(WRITE ${game}/Garbolt/SavedOutfits.xml "${outfits}")
file(WRITE ${game}/Garbolt/Garbolt.ini "${settings}")
file(WRITE ${game}/Garbolt/notes.txt "my notes")
file(WRITE ${game}/Garbolt.asi "the old plug-in")
file(ARCHIVE_EXTRACT INPUT ${PACKAGE} DESTINATION ${game})
function(expect_kept file bytes)
  # As hex: a text read would not show every byte (CR LF) as it is.
  file(READ ${game}/${file} now HEX)
  string(HEX "${bytes}" wanted)
  if(NOT now STREQUAL wanted)
    message(FATAL_ERROR "unpacking the package over a game changed the player's ${file}")
  endif()
endfunction()
expect_kept(Garbolt/SavedOutfits.xml "${outfits}")
expect_kept(Garbolt/Garbolt.ini "${settings}")
expect_kept(Garbolt/notes.txt "my notes")
file(SHA256 ${game}/Garbolt.asi updated)
file(SHA256 ${BUILD_DIR}/bin/Garbolt.asi built)
if(NOT updated STREQUAL built)
  message(FATAL_ERROR "unpacking the package over a game did not replace Garbolt.asi")
endif()
file(REMOVE_RECURSE ${game})
