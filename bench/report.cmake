velmora_bench(bench_report ${CMAKE_CURRENT_LIST_DIR}/report/ReportBench.cpp)
