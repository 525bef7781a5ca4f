velmora_test(test_app
  ${CMAKE_CURRENT_LIST_DIR}/VelmoraTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ConventionsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PrintingTest.cpp
)
