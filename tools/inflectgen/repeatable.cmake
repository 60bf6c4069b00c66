# Generates INFLECTS.SEC twice and fails unless both runs give the same bytes
# of the expected size.
foreach(n 1 2)
  execute_process(COMMAND ${TOOL} --table ${TABLE} --out ${OUT}/repeat${n}.sec
                  RESULT_VARIABLE status OUTPUT_QUIET)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "inflectgen failed: ${status}")
  endif()
endforeach()
file(SIZE ${OUT}/repeat1.sec size)
if(NOT size EQUAL 114000)
  message(FATAL_ERROR "INFLECTS.SEC has ${size} bytes, not 114000")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/repeat1.sec ${OUT}/repeat2.sec
                RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "two runs gave different bytes")
endif()
