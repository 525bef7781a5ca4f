velmora_test(test_sheets
  ${CMAKE_CURRENT_LIST_DIR}/LabelGridTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ArchivioEtichetteTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LabelSheetTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SheetPrintTest.cpp
)

# Its own process: libcups keeps the first scheduler it is pointed at.
velmora_test(test_sheets_cups ${CMAKE_CURRENT_LIST_DIR}/SheetCupsTest.cpp)
target_compile_definitions(test_sheets_cups PRIVATE VELMORA_BATCH="$<TARGET_FILE:velmora-batch>")
add_dependencies(test_sheets_cups velmora-batch)
