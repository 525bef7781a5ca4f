velmora_test(test_shell
  ${CMAKE_CURRENT_LIST_DIR}/ShellWindowsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GuidaPdfTest.cpp
)
# The guide test reads Guida.pdf as the build lays it into the program folder
# and takes the windows' pictures again through the guide's own code.
target_compile_definitions(test_shell PRIVATE VELMORA_PROGRAM_DIR="${VELMORA_PROGRAM_DIR}"
                           VELMORA_GUIDA_SOURCE="${PROJECT_SOURCE_DIR}/docs/guida")
target_link_libraries(test_shell PRIVATE velmora_guida_shots GTest::gmock)
add_dependencies(test_shell velmora_guida)
