# garbolt-outfits.exe imports only from Windows system DLLs.
#   cmake -DOBJDUMP=... -DPROGRAM=garbolt-outfits.exe -P CheckImports.cmake
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM}
  OUTPUT_VARIABLE dump ERROR_VARIABLE dump_error RESULT_VARIABLE dump_result)
if(NOT dump_result EQUAL 0)
  message(FATAL_ERROR "objdump -p ${PROGRAM} failed: ${dump_error}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" names "${dump}")
set(allowed "^(KERNEL32|kernel32|msvcrt|USER32|user32|ADVAPI32|advapi32|api-ms-win-[a-z0-9-]+)\\.dll$")
foreach(entry IN LISTS names)
  string(REPLACE "DLL Name: " "" dll "${entry}")
  string(STRIP "${dll}" dll)
  if(NOT dll MATCHES "${allowed}")
    message(FATAL_ERROR "garbolt-outfits.exe imports ${dll}; it must run with Windows' own DLLs only")
  endif()
endforeach()
if(NOT names)
  message(FATAL_ERROR "no imports found in ${PROGRAM}")
endif()
