# Installs the built suite into a fresh prefix, builds the consumer project against the
# installed package and runs it. Variables: BUILD_DIR, CONSUMER_DIR, WORK_DIR, CXX_FLAGS.
file(REMOVE_RECURSE ${WORK_DIR})
function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE Result OUTPUT_VARIABLE Out ERROR_VARIABLE Err)
  if(NOT Result EQUAL 0)
    message(FATAL_ERROR "${what} failed (${Result}):\n${Out}\n${Err}")
  endif()
  set(LAST_OUTPUT "${Out}" PARENT_SCOPE)
endfunction()
run("Installing the suite" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix)
run("Configuring the consumer" ${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/build
    -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${CXX_FLAGS}")
run("Building the consumer" ${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run("Running the consumer" ${WORK_DIR}/build/consumer)
if(NOT LAST_OUTPUT MATCHES "consumer ok")
  message(FATAL_ERROR "The consumer did not finish: ${LAST_OUTPUT}")
endif()
message(STATUS "${LAST_OUTPUT}")
