velmora_test(test_shell
  ${CMAKE_CURRENT_LIST_DIR}/ShellWindowsTest.cpp
)
target_link_libraries(test_shell PRIVATE GTest::gmock)
