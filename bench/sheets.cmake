velmora_bench(bench_sheets ${CMAKE_CURRENT_LIST_DIR}/sheets/SheetBench.cpp)
