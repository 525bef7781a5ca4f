#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

// Skips a test that needs root (a host name of its own, a mount) where it
// cannot have it, and says so where nobody misses it: what the test proves is
// not proven on this machine.
#define SKIP_WITHOUT_ROOT(why)                                                                             \
    do {                                                                                                   \
        const std::string skipReason = (why);                                                              \
        const ::testing::TestInfo* skipped = ::testing::UnitTest::GetInstance()->current_test_info();     \
        std::fprintf(stderr, "\n*** NOT PROVEN HERE: %s.%s needs root: %s ***\n\n", skipped->test_suite_name(), \
                     skipped->name(), skipReason.c_str());                                                 \
        GTEST_SKIP() << "needs root: " << skipReason;                                                      \
    } while (false)
