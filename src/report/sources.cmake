set(REPORT_report
  ${CMAKE_CURRENT_LIST_DIR}/Report.cpp
)
