# cmake -DPROGRAM=<lumetra> -P ProgramWithoutDisplay.cmake: starts the program with no display at all and
# expects one line on the error stream that says it needs a graphical display, nothing on the output
# stream, and exit code 1 (a crash or a hang fails).
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=LUMETRA_BACKEND
            --unset=XAUTHORITY ${PROGRAM}
    RESULT_VARIABLE rc
    OUTPUT_VARIABLE out
    ERROR_VARIABLE err
    TIMEOUT 60)
string(REGEX MATCHALL "\n" breaks "${err}")
list(LENGTH breaks lines)
if(NOT rc STREQUAL "1")
    message(FATAL_ERROR "exit: '${rc}' (expected 1)\nstderr: ${err}\nstdout: ${out}")
endif()
if(NOT lines EQUAL 1 OR NOT err MATCHES "needs a graphical display")
    message(FATAL_ERROR "expected one line naming the missing display, got:\n${err}")
endif()
if(NOT out STREQUAL "")
    message(FATAL_ERROR "nothing expected on the output stream, got:\n${out}")
endif()
message(STATUS "without a display: ${err}")
