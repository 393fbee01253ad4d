# Runs a program and keeps what it prints in a file, gzipped with GZIP=ON
# (manual pages). Used for the outputs the programs make of their own help.
#   cmake -DPROGRAM=... "-DARGS=a b" -DOUT=file [-DGZIP=ON] -P RunToFile.cmake
separate_arguments(args UNIX_COMMAND "${ARGS}")
execute_process(COMMAND ${PROGRAM} ${args} OUTPUT_FILE ${OUT}.tmp RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  file(REMOVE ${OUT}.tmp)
  message(FATAL_ERROR "${PROGRAM} ${ARGS} failed (${status}): ${err}")
endif()
if(GZIP)
  execute_process(COMMAND gzip -9n -c ${OUT}.tmp OUTPUT_FILE ${OUT} RESULT_VARIABLE status)
  file(REMOVE ${OUT}.tmp)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip failed on the output of ${PROGRAM}")
  endif()
else()
  file(RENAME ${OUT}.tmp ${OUT})
endif()
