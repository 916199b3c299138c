# Writes a C++ source that holds the default tour, byte for byte, so the program needs
# nothing beside it to play a first tour (its fresh game folders come from
# sim/play).
# -DOUTPUT=... -DTOUR=...
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/EscapedText.cmake)
escaped_text(tour ${TOUR})
file(WRITE ${OUTPUT}.tmp
  "// Generated from tools/garbolt-sim/tour.scenario.\n"
  "#include \"cli.h\"\n\n"
  "namespace garbolt_sim {\n"
  "const char kDefaultTour[] =${tour};\n"
  "}  // namespace garbolt_sim\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
