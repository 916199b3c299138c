# Writes a C++ source that defines one string constant holding a file's
# bytes exactly (cmake/EscapedText.cmake), for a program that carries a text
# of its own.
#   cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DHEADER=<include path> -DNAME=<constant>
#         [-DNAMESPACE=<namespace>] -P EmbedText.cmake
include(${CMAKE_CURRENT_LIST_DIR}/EscapedText.cmake)
escaped_text(text ${INPUT})
get_filename_component(input_name ${INPUT} NAME)
if(NAMESPACE)
  set(open "namespace ${NAMESPACE} {\n")
  set(close "}  // namespace ${NAMESPACE}\n")
else()
  set(open "")
  set(close "")
endif()
file(WRITE ${OUTPUT}.tmp
  "// Generated from ${input_name} by cmake/EmbedText.cmake.\n"
  "#include \"${HEADER}\"\n\n"
  "${open}"
  "const char ${NAME}[] =${text};\n"
  "${close}")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
