#include "print/pdf/OrderedMap.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace report::pdf {
namespace {

// Later items map faster than earlier ones, so workers finish out of order.
void Stall(long long i) { std::this_thread::sleep_for(std::chrono::microseconds(100 * (7 - i % 7))); }

TEST(OrderedParallelMap, HandsEveryResultOverInOrderWithinTheWindow) {
    for (const int threads : {1, 2, 5}) {
        SCOPED_TRACE(threads);
        constexpr long long kCount = 300;
        constexpr int kWindow = 6;
        std::atomic<long long> produced{0};
        std::vector<long long> consumed;
        long long widest = 0;
        OrderedParallelMap(
            kCount, threads, kWindow,
            [&](long long i) {
                EXPECT_EQ(i, produced.load()) << "items are produced in order, once each";
                widest = std::max(widest, ++produced - static_cast<long long>(consumed.size()));
                return i;
            },
            [] {
                return [](long long i) {
                    Stall(i);
                    return i * i;
                };
            },
            [&](long long i, long long square) {
                EXPECT_EQ(square, i * i);
                consumed.push_back(i);
            });
        ASSERT_EQ(consumed.size(), std::size_t(kCount));
        for (long long i = 0; i < kCount; ++i) ASSERT_EQ(consumed[std::size_t(i)], i);
        EXPECT_LE(widest, kWindow) << "never more than the window produced and not consumed";
    }
}

// A failure anywhere stops the run with that failure: the results consumed
// are those of the items before it, in order (fewer when the failing item was
// being produced ahead), every thread ends, and the caller gets the exception.
TEST(OrderedParallelMap, TheFirstFailureStopsTheRunAndReachesTheCaller) {
    enum Where { kProducer, kWorker, kConsumer };
    constexpr long long kFailing = 17;
    for (const Where where : {kProducer, kWorker, kConsumer}) {
        for (const int threads : {1, 3}) {
            SCOPED_TRACE(std::to_string(where) + " on " + std::to_string(threads) + " threads");
            std::vector<long long> consumed;
            std::atomic<int> mappers{0};
            try {
                OrderedParallelMap(
                    1000, threads, 8,
                    [&](long long i) {
                        if (where == kProducer && i == kFailing) throw std::runtime_error("producer");
                        return i;
                    },
                    [&] {
                        ++mappers;
                        return [&](long long i) {
                            Stall(i);
                            if (where == kWorker && i == kFailing) throw std::runtime_error("worker");
                            return i;
                        };
                    },
                    [&](long long i, long long) {
                        if (where == kConsumer && i == kFailing) throw std::runtime_error("consumer");
                        consumed.push_back(i);
                    });
                ADD_FAILURE() << "the failure did not reach the caller";
            } catch (const std::runtime_error& error) {
                EXPECT_STREQ(error.what(), where == kProducer ? "producer" : where == kWorker ? "worker" : "consumer");
            }
            ASSERT_LE(consumed.size(), std::size_t(kFailing)) << "nothing from the failing item on";
            if (where == kConsumer) {
                EXPECT_EQ(consumed.size(), std::size_t(kFailing));
            }
            for (std::size_t i = 0; i < consumed.size(); ++i) EXPECT_EQ(consumed[i], (long long)i);
            EXPECT_LE(mappers.load(), threads);
        }
    }
}

}  // namespace
}  // namespace report::pdf
