# Writes a C++ source that holds the release's default files and the default
# tour, so the program needs nothing beside it to play a first tour.
# -DOUTPUT=... -DSAVED_OUTFITS=... -DSETTINGS=... -DTOUR=...
file(READ ${SAVED_OUTFITS} saved_outfits)
file(READ ${SETTINGS} settings)
file(READ ${TOUR} tour)
foreach(text saved_outfits settings tour)
  string(FIND "${${text}}" ")garbolt_embed\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${text} holds the embedding delimiter")
  endif()
endforeach()
file(WRITE ${OUTPUT}.tmp
  "// Generated from package/Garbolt/ and tools/garbolt-sim/tour.scenario.\n"
  "#include \"game_folder.h\"\n\n"
  "namespace garbolt_sim {\n"
  "const char kDefaultSavedOutfits[] = R\"garbolt_embed(${saved_outfits})garbolt_embed\";\n"
  "const char kDefaultSettings[] = R\"garbolt_embed(${settings})garbolt_embed\";\n"
  "const char kDefaultTour[] = R\"garbolt_embed(${tour})garbolt_embed\";\n"
  "}  // namespace garbolt_sim\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
