# Writes a C++ source holding the release's default files, every byte as an
# octal escape, so each one (the settings file's CR LF line ends too) is the
# packaged one whatever the compiler makes of line ends in a source.
# -DOUTPUT=... -DSAVED_OUTFITS=... -DSETTINGS=...
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/EscapedText.cmake)
escaped_text(saved_outfits ${SAVED_OUTFITS})
escaped_text(settings ${SETTINGS})
file(WRITE ${OUTPUT}.tmp
  "// Generated from package/Garbolt/ by sim/play/embed_defaults.cmake.\n"
  "#include \"sim/play/default_files.h\"\n\n"
  "namespace play {\n"
  "const char kDefaultSavedOutfits[] =${saved_outfits};\n"
  "const char kDefaultSettings[] =${settings};\n"
  "}  // namespace play\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
