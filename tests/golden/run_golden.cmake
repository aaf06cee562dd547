# Runs one golden script through tarnel-sql and compares its output with the
# expected file. A non-zero exit status is appended as "[exit N]" so the
# expected file records it. With TARNEL_GOLDEN_UPDATE=1 in the environment
# the expected file is (re)written instead.
get_filename_component(workdir ${SCRIPT} DIRECTORY)
get_filename_component(script_name ${SCRIPT} NAME)
execute_process(
  COMMAND ${TARNEL_SQL} -S demo/demo@sandbox @${script_name}
  WORKING_DIRECTORY ${workdir}
  INPUT_FILE /dev/null
  OUTPUT_VARIABLE actual
  ERROR_VARIABLE errors
  RESULT_VARIABLE status
  TIMEOUT 100)
if(NOT status EQUAL 0)
  string(APPEND actual "[exit ${status}]\n")
endif()
if(NOT errors STREQUAL "")
  string(APPEND actual "[stderr]\n${errors}")
endif()

if("$ENV{TARNEL_GOLDEN_UPDATE}" STREQUAL "1")
  file(WRITE ${EXPECTED} "${actual}")
  message(STATUS "updated ${EXPECTED}")
  return()
endif()

if(NOT EXISTS ${EXPECTED})
  message(FATAL_ERROR "no expected output ${EXPECTED}: run with TARNEL_GOLDEN_UPDATE=1 to write it, then review it")
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  get_filename_component(actual_dir ${ACTUAL} DIRECTORY)
  file(MAKE_DIRECTORY ${actual_dir})
  file(WRITE ${ACTUAL} "${actual}")
  execute_process(COMMAND diff -u ${EXPECTED} ${ACTUAL} OUTPUT_VARIABLE difference)
  message(FATAL_ERROR "output differs from ${EXPECTED} (actual in ${ACTUAL}):\n${difference}")
endif()
