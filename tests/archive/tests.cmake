velmora_test(test_archive
  ${CMAKE_CURRENT_LIST_DIR}/ArchivioIndirizziTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AllegaCartellaTest.cpp
)
velmora_test(test_pickers
  ${CMAKE_CURRENT_LIST_DIR}/PickerTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SummaryTest.cpp
)
