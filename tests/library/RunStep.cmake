# run(<what> <command>...): runs a command of a test script; when it fails, the test fails
# saying what failed, with the command's output. Its output is left in LAST_OUTPUT.
function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE Result OUTPUT_VARIABLE Out ERROR_VARIABLE Err)
  if(NOT Result EQUAL 0)
    message(FATAL_ERROR "${what} failed (${Result}):\n${Out}\n${Err}")
  endif()
  set(LAST_OUTPUT "${Out}" PARENT_SCOPE)
endfunction()
