# --help and --version are answered without any display, by both programs.
function(orvelt_add_no_display_test program option expected)
    add_test(NAME ${program}${option}_without_display
             COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}> -DOPTION=${option}
                     "-DEXPECTED=${expected}"
                     -P ${CMAKE_CURRENT_SOURCE_DIR}/tools/RunWithoutDisplay.cmake)
    set_tests_properties(${program}${option}_without_display PROPERTIES LABELS cli)
endfunction()

orvelt_add_no_display_test(orvelt --help "^Usage: [^\n]*orvelt .*--version")
orvelt_add_no_display_test(orvelt --version "^Orvelt ${PROJECT_VERSION}\n$")
orvelt_add_no_display_test(orvelt-cli --version "^orvelt-cli ${PROJECT_VERSION}\n$")
