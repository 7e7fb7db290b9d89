# cmake -DSCDOC=... -DINPUT=page.1.scd -DOUTPUT=page.1.gz -P ScdocPage.cmake
# Turns one scdoc source into a compressed manual page; a fault in the source fails the
# build instead of installing an empty page.
get_filename_component(_dir ${OUTPUT} DIRECTORY)
get_filename_component(_name ${OUTPUT} NAME_WLE)
set(_page ${_dir}/${_name})
execute_process(COMMAND ${SCDOC} INPUT_FILE ${INPUT} OUTPUT_FILE ${_page}
                RESULT_VARIABLE result ERROR_VARIABLE error)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "scdoc could not read ${INPUT}: ${error}")
endif()
# -n leaves the name and time out, so the same source gives the same bytes.
execute_process(COMMAND gzip -9 -n -f ${_page} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip could not compress ${_page}")
endif()
