velmora_test(test_archive
  ${CMAKE_CURRENT_LIST_DIR}/ArchivioIndirizziTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AllegaCartellaTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExpIndirizziTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StampaBustaTest.cpp
)
velmora_test(test_pickers
  ${CMAKE_CURRENT_LIST_DIR}/PickerTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SummaryTest.cpp
)

# Its own process: libcups keeps the first scheduler it is pointed at.
velmora_test(test_envelope_cups ${CMAKE_CURRENT_LIST_DIR}/EnvelopeCupsTest.cpp)
target_link_libraries(test_envelope_cups PRIVATE velmora_batch)
