add_executable(bench_archive ${CMAKE_CURRENT_LIST_DIR}/archive/ArchiveBench.cpp
               ${CMAKE_CURRENT_LIST_DIR}/archive/ImportBench.cpp)
target_link_libraries(bench_archive PRIVATE velmora_files benchmark::benchmark)
velmora_bench(bench_pickers ${CMAKE_CURRENT_LIST_DIR}/archive/PickerBench.cpp
              ${CMAKE_CURRENT_LIST_DIR}/archive/ExportBench.cpp)
velmora_bench(bench_summary ${CMAKE_CURRENT_LIST_DIR}/archive/SummaryBench.cpp)
