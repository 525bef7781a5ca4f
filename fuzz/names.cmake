# The fuzzers, one per file fuzz/NAME.cpp, built as fuzz_NAME.
set(VELMORA_FUZZERS record_read record_append short_text crypt ini csv_read)
