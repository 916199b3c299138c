# Checks a built Windows module with objdump -p, as the game's loader would
# see it.
#   cmake -DOBJDUMP=... -DMODULE=Garbolt.asi -P CheckModule.cmake
#     The plug-in: no exports; imports only from ScriptHookRDR2.dll (under
#     the hook's decorated names) and from Windows system DLLs.
#   cmake -DOBJDUMP=... -DMODULE=ScriptHookRDR2.dll -DHOOK_DEF=... -P CheckModule.cmake
#     The simulated hook: exports every decorated name the plug-in may import.
cmake_minimum_required(VERSION 3.25)

foreach(required OBJDUMP MODULE)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "CheckModule: ${required} not set")
  endif()
endforeach()

execute_process(COMMAND ${OBJDUMP} -p ${MODULE}
  OUTPUT_VARIABLE dump ERROR_VARIABLE dump_error RESULT_VARIABLE dump_result)
if(NOT dump_result EQUAL 0)
  message(FATAL_ERROR "objdump -p ${MODULE} failed: ${dump_error}")
endif()
get_filename_component(module_name ${MODULE} NAME)

# Imports: "DLL Name: X" starts a block, each following "<vma> <hint> <name>"
# line names one imported function.
set(import_dlls "")
set(hook_imports "")
set(current_dll "")
string(REPLACE "\n" ";" lines "${dump}")
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]*DLL Name: (.+)$")
    string(STRIP "${CMAKE_MATCH_1}" current_dll)
    list(APPEND import_dlls "${current_dll}")
  elseif(line MATCHES "^[ \t]*$" OR line MATCHES "^The ")
    set(current_dll "")
  elseif(current_dll STREQUAL "ScriptHookRDR2.dll"
         AND line MATCHES "^[ \t]*[0-9a-fA-F]+[ \t]+[0-9]+[ \t]+(.+)$")
    string(STRIP "${CMAKE_MATCH_1}" imported)
    list(APPEND hook_imports "${imported}")
  endif()
endforeach()

# Exports: the name pointer table lists "[   n] +base[ ord] name" per export.
set(exports "")
set(in_names FALSE)
foreach(line IN LISTS lines)
  if(line MATCHES "^\\[Ordinal/Name Pointer\\] Table")
    set(in_names TRUE)
  elseif(in_names AND line MATCHES "^[ \t]*\\[ *[0-9]+\\] (.+)$")
    string(STRIP "${CMAKE_MATCH_1}" exported)
    # Newer objdump prints "+base[ ord] name"; keep the name.
    string(REGEX REPLACE "^\\+base\\[ *[0-9]+\\] *(0x[0-9a-f]+ )?" "" exported "${exported}")
    list(APPEND exports "${exported}")
  elseif(in_names AND line MATCHES "^[ \t]*$")
    set(in_names FALSE)
  endif()
endforeach()

set(failures "")

# What the game loads: a 64-bit PE library.
if(NOT dump MATCHES "file format pei-x86-64")
  list(APPEND failures "is not a 64-bit Windows module")
endif()
if(NOT dump MATCHES "Characteristics 0x[0-9a-fA-F]+\n([ \t]+[^\n]*\n)*[ \t]+DLL\n")
  list(APPEND failures "is not marked as a DLL")
endif()

if(DEFINED HOOK_DEF)
  file(STRINGS ${HOOK_DEF} def_lines REGEX "==")
  set(wanted "")
  foreach(def_line IN LISTS def_lines)
    if(def_line MATCHES "==[ \t]*([^ \t;]+)")
      list(APPEND wanted "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  list(LENGTH wanted wanted_count)
  if(NOT wanted_count EQUAL 9)
    list(APPEND failures "${HOOK_DEF} names ${wanted_count} operations, not 9")
  endif()
  foreach(name IN LISTS wanted)
    if(NOT name IN_LIST exports)
      list(APPEND failures "${module_name} does not export ${name}")
    endif()
  endforeach()
else()
  foreach(name IN LISTS exports)
    list(APPEND failures "exports ${name}")
  endforeach()
  # The linker leaves an empty export directory in every DLL; it must stay
  # empty: no functions, no names (an ordinal-only export would have no name).
  if(dump MATCHES "Number in:[ \t\r\n]+Export Address Table[ \t]+([0-9a-fA-F]+)")
    set(export_entries "${CMAKE_MATCH_1}")
    if(NOT export_entries MATCHES "^0+$")
      list(APPEND failures "has 0x${export_entries} entries in its export address table")
    endif()
  endif()

  # Windows' own libraries, and the hook. Anything else (above all the
  # MinGW runtime DLLs) would have to be shipped beside the game.
  set(allowed_regex "^(ScriptHookRDR2\\.dll|KERNEL32\\.dll|USER32\\.dll|msvcrt\\.dll|ucrtbase\\.dll|ADVAPI32\\.dll|ntdll\\.dll|api-ms-win-[a-z0-9-]+\\.dll)$")
  foreach(dll IN LISTS import_dlls)
    string(TOUPPER "${dll}" upper)
    string(REGEX REPLACE "\\.DLL$" ".dll" normalised "${upper}")
    if(NOT dll MATCHES "${allowed_regex}" AND NOT normalised MATCHES "${allowed_regex}"
       AND NOT dll MATCHES "^[Aa][Pp][Ii]-[Mm][Ss]-[Ww][Ii][Nn]-")
      list(APPEND failures "imports from ${dll}")
    endif()
  endforeach()
  if(NOT "ScriptHookRDR2.dll" IN_LIST import_dlls)
    list(APPEND failures "does not import ScriptHookRDR2.dll")
  endif()

  set(decorated
    "?scriptRegister@@YAXPEAUHINSTANCE__@@P6AXXZ@Z"
    "?scriptUnregister@@YAXPEAUHINSTANCE__@@@Z"
    "?keyboardHandlerRegister@@YAXP6AXKGEHHHH@Z@Z"
    "?keyboardHandlerUnregister@@YAXP6AXKGEHHHH@Z@Z"
    "?scriptWait@@YAXK@Z"
    "?nativeInit@@YAX_K@Z"
    "?nativePush64@@YAX_K@Z"
    "?nativeCall@@YAPEA_KXZ"
    "?getGlobalPtr@@YAPEA_KH@Z")
  foreach(name IN LISTS hook_imports)
    if(NOT name IN_LIST decorated)
      list(APPEND failures "imports ${name} from ScriptHookRDR2.dll, which the hook does not export")
    endif()
  endforeach()
  # Without these four the plug-in never runs at all.
  foreach(name
      "?scriptRegister@@YAXPEAUHINSTANCE__@@P6AXXZ@Z"
      "?scriptUnregister@@YAXPEAUHINSTANCE__@@@Z"
      "?keyboardHandlerRegister@@YAXP6AXKGEHHHH@Z@Z"
      "?scriptWait@@YAXK@Z")
    if(NOT name IN_LIST hook_imports)
      list(APPEND failures "does not import ${name}")
    endif()
  endforeach()
endif()

if(failures)
  list(JOIN failures "\n  " report)
  message(FATAL_ERROR "${module_name}:\n  ${report}\nimports from: ${import_dlls}")
endif()
list(JOIN import_dlls ", " import_report)
list(LENGTH exports export_count)
message(STATUS "${module_name}: ${export_count} exports; imports from ${import_report}")
