# Rebuilds the value table and the earning rates into the build tree and compares them byte for
# byte with the committed resources/BondTable.plist and resources/EarningRates.plist. Run by ctest
# as "bond_table_reproducible".
#   cmake -DBUILDER=<orvelt-build-table> -DDATA=<tools/data> -DOUT=<dir> -DCOMMITTED=<plist>
#         -DCOMMITTED_RATES=<plist> -P
execute_process(
    COMMAND ${BUILDER} shipped --data ${DATA} --lines ${OUT}/BondTable.asc
            --table ${OUT}/BondTable.plist --rates ${OUT}/EarningRates.plist
    RESULT_VARIABLE built)
if(NOT built EQUAL 0)
    message(FATAL_ERROR "orvelt-build-table failed (${built})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/BondTable.plist ${COMMITTED}
                RESULT_VARIABLE same)
if(NOT same EQUAL 0)
    message(FATAL_ERROR "${COMMITTED} differs from the table the tools build; run the "
                        "update-bond-table target and review the change")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/EarningRates.plist
                        ${COMMITTED_RATES} RESULT_VARIABLE same_rates)
if(NOT same_rates EQUAL 0)
    message(FATAL_ERROR "${COMMITTED_RATES} differs from the rates the tools build; run the "
                        "update-bond-table target and review the change")
endif()
