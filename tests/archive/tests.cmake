velmora_test(test_archive
  ${CMAKE_CURRENT_LIST_DIR}/ShortTextTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecordFileTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ArchivioIndirizziTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExpIndirizziTest.cpp
)
velmora_test(test_pickers
  ${CMAKE_CURRENT_LIST_DIR}/PickerTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SummaryTest.cpp
)
# The export writer needs no widgets: its tests link the files layer alone.
add_executable(test_export_writer ${CMAKE_CURRENT_LIST_DIR}/ExportWriterTest.cpp)
target_include_directories(test_export_writer PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(test_export_writer PRIVATE velmora_files GTest::gtest_main)
add_test(NAME test_export_writer COMMAND test_export_writer)
set_tests_properties(test_export_writer PROPERTIES ENVIRONMENT "LC_ALL=C.UTF-8" TIMEOUT 600)
