# The builder's --keep against a table of two values: it lists the one the market-based value
# raised and fails naming the one it would change otherwise.
#   cmake -DBUILDER=<orvelt-build-table> -DDATA=<tools/data> -DOUT=<dir> -P
file(MAKE_DIRECTORY ${OUT})
file(WRITE ${OUT}/Kept.plist
     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>EE</key><dict>"
     "<key>2010</key><dict>"
     "<key>06</key><dict><key>1990</key><dict><key>June</key><string>009999</string></dict></dict>"
     "<key>09</key><dict><key>1983</key><dict><key>March</key><string>005222</string></dict></dict>"
     "</dict></dict></dict></plist>\n")
execute_process(
    COMMAND ${BUILDER} shipped --data ${DATA} --lines ${OUT}/BondTable.asc
            --table ${OUT}/BondTable.plist --keep ${OUT}/Kept.plist
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
string(FIND "${output}" "Raised by the market-based value: /EE/2010/09/1983/March 52.22 -> 54.55"
       raised)
string(FIND "${errors}" "/EE/2010/06/1990/June: \"009999\" became" changed)
if(result EQUAL 0 OR raised EQUAL -1 OR changed EQUAL -1)
    message(FATAL_ERROR "--keep: exit ${result}\n${errors}")
endif()
