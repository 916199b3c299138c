# Writes a C++ source that holds the default tour, so the program needs
# nothing beside it to play a first tour (the default files of its fresh game
# folders come from sim/play).
# -DOUTPUT=... -DTOUR=...
file(READ ${TOUR} tour)
string(FIND "${tour}" ")garbolt_embed\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "the tour holds the embedding delimiter")
endif()
file(WRITE ${OUTPUT}.tmp
  "// Generated from tools/garbolt-sim/tour.scenario.\n"
  "#include \"cli.h\"\n\n"
  "namespace garbolt_sim {\n"
  "const char kDefaultTour[] = R\"garbolt_embed(${tour})garbolt_embed\";\n"
  "}  // namespace garbolt_sim\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
