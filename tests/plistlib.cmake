# Files written by Python's plistlib are read by Orvelt with the same content, and the files
# Orvelt writes are read by plistlib with the same content; so are files in ISO-8859-1.
add_executable(plist_rewrite ${CMAKE_CURRENT_SOURCE_DIR}/tools/plist_rewrite.cpp)
target_link_libraries(plist_rewrite PRIVATE orvelt_core)
find_package(Python3 COMPONENTS Interpreter REQUIRED)
add_test(NAME plistlib_cross_check
         COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/tools/plistlib_cross_check.py
                 $<TARGET_FILE:plist_rewrite> ${CMAKE_CURRENT_BINARY_DIR}/plistlib_cross_check
                 ${CMAKE_CURRENT_SOURCE_DIR}/data/plist/plistlib_portfolios.plist
                 ${CMAKE_CURRENT_SOURCE_DIR}/data/plist/plistlib_every_kind.plist
                 ${CMAKE_CURRENT_SOURCE_DIR}/data/plist/latin1_portfolios.plist)
set_tests_properties(plistlib_cross_check PROPERTIES LABELS core)
