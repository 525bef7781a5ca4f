velmora_bench(bench_archive ${CMAKE_CURRENT_LIST_DIR}/archive/ArchiveBench.cpp)
velmora_bench(bench_pickers ${CMAKE_CURRENT_LIST_DIR}/archive/PickerBench.cpp)
