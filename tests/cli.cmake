# orvelt-cli's tests run the built program on temporary data folders; each cli/<name>_test.cpp
# is one GoogleTest program that knows the program's path.
if(TARGET orvelt-cli)
    file(GLOB ORVELT_CLI_TEST_SUPPORT_SOURCES CONFIGURE_DEPENDS
         ${CMAKE_CURRENT_SOURCE_DIR}/cli/support/*.cpp)
    add_library(orvelt_cli_test_support STATIC ${ORVELT_CLI_TEST_SUPPORT_SOURCES})
    target_include_directories(orvelt_cli_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/cli)
    target_link_libraries(orvelt_cli_test_support PUBLIC orvelt_test_support)
    target_compile_definitions(orvelt_cli_test_support PRIVATE
        ORVELT_CLI_PROGRAM="$<TARGET_FILE:orvelt-cli>")
    add_dependencies(orvelt_cli_test_support orvelt-cli)

    file(GLOB ORVELT_CLI_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/cli/*_test.cpp)
    foreach(source IN LISTS ORVELT_CLI_TESTS)
        get_filename_component(name ${source} NAME_WE)
        add_executable(${name} ${source})
        target_link_libraries(${name} PRIVATE orvelt_cli_test_support GTest::gtest_main)
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS cli)
    endforeach()
endif()
