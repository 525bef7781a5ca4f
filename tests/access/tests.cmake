velmora_test(test_access
  ${CMAKE_CURRENT_LIST_DIR}/CryptTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AccessWindowsTest.cpp
)
target_compile_definitions(test_access PRIVATE VELMORA_PROGRAM_DIR="${VELMORA_PROGRAM_DIR}")
target_link_libraries(test_access PRIVATE GTest::gmock)
add_dependencies(test_access velmora_password_file)
