velmora_test(test_sheets
  ${CMAKE_CURRENT_LIST_DIR}/ArchivioEtichetteTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LabelSheetTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SheetPrintTest.cpp
)
