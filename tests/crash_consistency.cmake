# orvelt-cli import killed at random moments: the portfolio file is always whole.
if(TARGET orvelt-cli)
    find_package(Python3 COMPONENTS Interpreter REQUIRED)
    add_test(NAME cli_import_killed
             COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/tools/kill_during_import.py
                     $<TARGET_FILE:orvelt-cli> ${CMAKE_CURRENT_BINARY_DIR}/kill_during_import)
    set_tests_properties(cli_import_killed PROPERTIES LABELS cli TIMEOUT 120)
endif()
