# The fuzzers in the main build: where clang can build libFuzzer programs with
# AddressSanitizer and UndefinedBehaviorSanitizer, fuzz/ is built as a project
# of its own with clang into build/fuzz, and ctest replays each fuzzer's seed
# corpus once, the same inputs every run (scripts/fuzz.sh replay; fuzzing runs
# by hand with scripts/fuzz.sh).
find_program(VELMORA_CLANGXX NAMES clang++)
if(VELMORA_CLANGXX)
  set(probe ${CMAKE_BINARY_DIR}/fuzz-probe)
  file(WRITE ${probe}.cpp "extern \"C\" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n")
  execute_process(COMMAND ${VELMORA_CLANGXX} -fsanitize=fuzzer,address,undefined ${probe}.cpp -o ${probe}
                  RESULT_VARIABLE probe_result OUTPUT_QUIET ERROR_QUIET)
endif()
if(NOT VELMORA_CLANGXX OR NOT probe_result EQUAL 0)
  message(STATUS "Fuzzers left out: clang++ with libFuzzer is not at hand (scripts/install-deps.sh installs it)")
  return()
endif()

include(ExternalProject)
ExternalProject_Add(velmora_fuzzers
  SOURCE_DIR ${PROJECT_SOURCE_DIR}/fuzz
  BINARY_DIR ${CMAKE_BINARY_DIR}/fuzz
  CMAKE_ARGS -DCMAKE_CXX_COMPILER=${VELMORA_CLANGXX} -DCMAKE_BUILD_TYPE=RelWithDebInfo
             -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER} -DQt6_DIR=${Qt6_DIR}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)

include(${PROJECT_SOURCE_DIR}/fuzz/names.cmake)
foreach(name ${VELMORA_FUZZERS})
  add_test(NAME fuzz_${name} COMMAND ${PROJECT_SOURCE_DIR}/scripts/fuzz.sh replay ${name})
  set_tests_properties(fuzz_${name} PROPERTIES ENVIRONMENT "VELMORA_FUZZ_BUILD=${CMAKE_BINARY_DIR}/fuzz"
                       TIMEOUT 120)
endforeach()
