velmora_test(test_report
  ${CMAKE_CURRENT_LIST_DIR}/Templates.h
  ${CMAKE_CURRENT_LIST_DIR}/Templates.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ModelTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LayoutTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PaintTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PdfWriterTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PrintChoicesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PrintDialogTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PreviewTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CupsPrintTest.cpp
)

# Its own process: libcups keeps the first scheduler it is pointed at.
velmora_test(test_report_noprinter
  ${CMAKE_CURRENT_LIST_DIR}/Templates.h
  ${CMAKE_CURRENT_LIST_DIR}/Templates.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NoPrinterTest.cpp
)
