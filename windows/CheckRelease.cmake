# A shipped Windows file (Garbolt.asi, garbolt-outfits.exe) as it ships: with
# the version resource that Explorer and mod managers read, and no heavier
# than its budget when it has one.
#   cmake -DMODULE=<file> -DVERSION=<x.y.z> -DDESCRIPTION=<text> [-DBUDGET=<bytes>]
#         -P CheckRelease.cmake

get_filename_component(name ${MODULE} NAME)
file(SIZE ${MODULE} size)
if(DEFINED BUDGET AND size GREATER BUDGET)
  message(FATAL_ERROR "${name} is ${size} bytes, over its budget of ${BUDGET} "
    "(build/windows/Garbolt.map shows what each part costs)")
endif()

# The resource's strings are UTF-16LE: "key", NUL, padding, "value".
function(utf16 text out)
  string(HEX "${text}" narrow)
  string(REGEX REPLACE "(..)" "\\100" wide "${narrow}")
  set(${out} ${wide} PARENT_SCOPE)
endfunction()

file(READ ${MODULE} bytes HEX)
foreach(entry
    "ProductName=Garbolt"
    "ProductVersion=${VERSION}"
    "FileVersion=${VERSION}"
    "FileDescription=${DESCRIPTION}"
    "OriginalFilename=${name}"
    "LegalCopyright=Copyright (C) 2026 the Garbolt developers")
  string(REPLACE "=" ";" parts "${entry}")
  list(GET parts 0 key)
  list(GET parts 1 value)
  utf16("${key}" wideKey)
  utf16("${value}" wideValue)
  # Key, its terminator and up to one padding character, then the value.
  if(NOT bytes MATCHES "${wideKey}0000(0000)?${wideValue}0000")
    message(FATAL_ERROR "${name}'s version resource has no ${key} \"${value}\"")
  endif()
endforeach()

# The fixed part: file and product version as four 16-bit numbers.
string(REPLACE "." ";" numbers "${VERSION}")
set(fixed "")
foreach(n ${numbers} 0)
  math(EXPR n "${n}" OUTPUT_FORMAT HEXADECIMAL)
  string(SUBSTRING "${n}" 2 -1 digits)
  string(LENGTH "${digits}" length)
  while(length LESS 4)
    string(PREPEND digits 0)
    math(EXPR length "${length} + 1")
  endwhile()
  string(SUBSTRING "${digits}" 2 2 low)
  string(SUBSTRING "${digits}" 0 2 high)
  list(APPEND fixed "${low}${high}")
endforeach()
list(GET fixed 0 major)
list(GET fixed 1 minor)
list(GET fixed 2 patch)
list(GET fixed 3 build)
# VS_FIXEDFILEINFO: signature 0xFEEF04BD, struct version, then the file
# version's high word pair (minor, major) and low pair (build, patch).
if(NOT bytes MATCHES "bd04effe00000100${minor}${major}${build}${patch}${minor}${major}${build}${patch}")
  message(FATAL_ERROR "${name}'s fixed version is not ${VERSION}.0")
endif()
message(STATUS "${name}: ${size} bytes, version ${VERSION}")
