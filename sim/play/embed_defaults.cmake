# Writes a C++ source holding the release's default files, every byte as an
# octal escape, so each one (the settings file's CR LF line ends too) is the
# packaged one whatever the compiler makes of line ends in a source.
# -DOUTPUT=... -DSAVED_OUTFITS=... -DSETTINGS=...
function(escaped_text variable file)
  file(READ ${file} hex HEX)
  set(text "")
  set(column 0)
  string(LENGTH "${hex}" length)
  set(at 0)
  while(at LESS length)
    string(SUBSTRING "${hex}" ${at} 2 byte)
    math(EXPR value "0x${byte}" OUTPUT_FORMAT DECIMAL)
    math(EXPR high "${value} / 64")
    math(EXPR middle "(${value} / 8) % 8")
    math(EXPR low "${value} % 8")
    string(APPEND text "\\${high}${middle}${low}")
    math(EXPR column "${column} + 1")
    if(column EQUAL 20)
      string(APPEND text "\"\n    \"")
      set(column 0)
    endif()
    math(EXPR at "${at} + 2")
  endwhile()
  set(${variable} "\n    \"${text}\"" PARENT_SCOPE)
endfunction()
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
