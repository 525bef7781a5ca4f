velmora_test(test_access ${CMAKE_CURRENT_LIST_DIR}/AccessWindowsTest.cpp)
target_link_libraries(test_access PRIVATE GTest::gmock)
