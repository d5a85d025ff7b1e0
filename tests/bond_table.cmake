# The table builder's tests: the rate computation is tested on the builder's own library, and the
# committed value table must be exactly what the builder makes from tools/data.
target_link_libraries(bond_rates_test PRIVATE orvelt_table_tools)

file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/bond-table-check)
add_test(NAME bond_table_reproducible
         COMMAND ${CMAKE_COMMAND} -DBUILDER=$<TARGET_FILE:orvelt-build-table>
                 -DDATA=${CMAKE_SOURCE_DIR}/tools/data -DOUT=${CMAKE_BINARY_DIR}/bond-table-check
                 -DCOMMITTED=${CMAKE_SOURCE_DIR}/resources/BondTable.plist
                 -DCOMMITTED_RATES=${CMAKE_SOURCE_DIR}/resources/EarningRates.plist
                 -P ${CMAKE_SOURCE_DIR}/tools/CompareBondTable.cmake)
set_tests_properties(bond_table_reproducible PROPERTIES LABELS core)

add_test(NAME bond_table_keeps_values
         COMMAND ${CMAKE_COMMAND} -DBUILDER=$<TARGET_FILE:orvelt-build-table>
                 -DDATA=${CMAKE_SOURCE_DIR}/tools/data -DOUT=${CMAKE_BINARY_DIR}/bond-table-keep
                 -P ${CMAKE_SOURCE_DIR}/tests/tools/KeepOnlyRaisedValues.cmake)
set_tests_properties(bond_table_keeps_values PROPERTIES LABELS core)
