# Writes the tour's transcript anew into the golden file the tests compare it with:
#   cmake -DPROGRAM=garbolt-sim -DTOUR=tour.scenario -DOUT=tour-transcript.txt -P TourTranscript.cmake
# (the build's target tour-transcript runs it). Review the diff before committing it.
execute_process(COMMAND ${PROGRAM} ${TOUR}
  OUTPUT_FILE ${OUT} ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the tour did not pass (status ${status}):\n${errors}")
endif()
message(STATUS "Wrote ${OUT}")
