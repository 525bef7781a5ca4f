velmora_test(test_batch ${CMAKE_CURRENT_LIST_DIR}/BatchTest.cpp)
target_link_libraries(test_batch PRIVATE velmora_batch)
target_compile_definitions(test_batch PRIVATE VELMORA_BATCH="$<TARGET_FILE:velmora-batch>")
add_dependencies(test_batch velmora-batch)
