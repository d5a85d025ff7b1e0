# Runs PROGRAM with OPTION where no display can be found and checks that it succeeds and that its
# standard output matches EXPECTED.
unset(ENV{DISPLAY})
unset(ENV{WAYLAND_DISPLAY})
unset(ENV{QT_QPA_PLATFORM})
execute_process(COMMAND ${PROGRAM} ${OPTION} RESULT_VARIABLE status OUTPUT_VARIABLE out
                ERROR_VARIABLE err TIMEOUT 60)
if(NOT status STREQUAL "0" OR NOT out MATCHES "${EXPECTED}")
    message(FATAL_ERROR "${PROGRAM} ${OPTION}: status ${status}\n"
                        "standard output:\n${out}\nstandard error:\n${err}\n"
                        "expected the output to match: ${EXPECTED}")
endif()
