# pugixml: Debian's package on Linux; for the Windows cross build it is
# compiled from Debian's source package, which scripts/setup unpacks into
# third_party/pugixml-src (never committed).
if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(GARBOLT_PUGIXML_SOURCE ${PROJECT_SOURCE_DIR}/third_party/pugixml-src/src)
  if(NOT EXISTS ${GARBOLT_PUGIXML_SOURCE}/pugixml.cpp)
    message(FATAL_ERROR "pugixml source missing: run scripts/setup")
  endif()
  add_library(garbolt_pugixml STATIC ${GARBOLT_PUGIXML_SOURCE}/pugixml.cpp)
  target_include_directories(garbolt_pugixml SYSTEM PUBLIC ${GARBOLT_PUGIXML_SOURCE})
  # No std::istream/std::ostream interface: the plug-in reads and writes
  # through C streams, and the stream library would be most of its size.
  target_compile_definitions(garbolt_pugixml PUBLIC PUGIXML_NO_STL)
else()
  find_package(pugixml REQUIRED)
  add_library(garbolt_pugixml INTERFACE)
  target_link_libraries(garbolt_pugixml INTERFACE pugixml::pugixml)
endif()
