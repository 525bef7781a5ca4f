// googletest from the kit, with a test that starts threads (posix thread model).
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

TEST(Threads, EachThreadAddsItsShare)
{
    std::atomic<int> sum{0};
    std::mutex mutex;
    std::vector<int> seen;
    std::vector<std::thread> threads;
    for (int i = 1; i <= 4; ++i)
        threads.emplace_back([&, i] {
            for (int k = 0; k < 1000; ++k)
                sum += i;
            std::lock_guard<std::mutex> lock(mutex);
            seen.push_back(i);
        });
    for (auto &t : threads)
        t.join();
    EXPECT_EQ(sum.load(), 10000);
    EXPECT_EQ(seen.size(), 4u);
}
