velmora_test(test_access
  ${CMAKE_CURRENT_LIST_DIR}/CryptTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AccessWindowsTest.cpp
)
target_compile_definitions(test_access PRIVATE VELMORA_FIRST_PASSWORD="$<TARGET_FILE:velmora-first-password>")
target_link_libraries(test_access PRIVATE GTest::gmock)
add_dependencies(test_access velmora-first-password)
