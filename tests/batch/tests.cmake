velmora_test(test_batch ${CMAKE_CURRENT_LIST_DIR}/BatchTest.cpp)
target_link_libraries(test_batch PRIVATE velmora_batch)
