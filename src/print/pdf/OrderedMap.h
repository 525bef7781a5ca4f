#pragma once
#include "core/platform/Process.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

namespace report::pdf {

// An ordered parallel map with a bounded window. The calling thread produces
// items 0 .. count - 1 in order (`produce(i)`), `threads` workers map them
// (each worker with a mapper of its own, made by `makeMapper()`, so a mapper
// may keep state that belongs to its thread), and the calling thread hands
// the results to `consume(i, result)` in the items' order, each as soon as it
// and all before it are mapped. At most `window` items are produced and not
// yet consumed, so memory stays bounded however long the run.
//
// The workers run with every signal blocked in their signal mask: signals go
// to the calling thread, so a handler never runs beside the consumer's writes.
// With fewer than two threads everything runs on the calling thread.
//
// The first failure, an exception from `produce`, from a worker's mapping or
// from `consume`, stops the run: no further item is produced or consumed, the
// workers are joined, and the exception is rethrown to the caller.
template <typename Produce, typename MakeMapper, typename Consume>
void OrderedParallelMap(long long count, int threads, int window, Produce produce, MakeMapper makeMapper,
                        Consume consume) {
    using Item = std::invoke_result_t<Produce&, long long>;
    using Mapper = std::invoke_result_t<MakeMapper&>;
    using Result = std::invoke_result_t<Mapper&, Item&&>;
    if (threads < 2) {
        Mapper map = makeMapper();
        for (long long i = 0; i < count; ++i) consume(i, map(produce(i)));
        return;
    }
    window = std::max(window, 1);
    const auto slot = [window](long long i) { return std::size_t(i % window); };
    std::vector<std::optional<Item>> made(static_cast<std::size_t>(window));
    std::vector<std::optional<Result>> ready(static_cast<std::size_t>(window));
    std::mutex mutex;
    std::condition_variable changed;
    long long produced = 0, next = 0;
    bool stop = false;
    std::exception_ptr error;

    const auto work = [&] {
        platform::BlockSignalsOnThisThread();
        std::optional<Mapper> map;
        for (;;) {
            long long i;
            std::optional<Item> item;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || next < produced || next >= count; });
                if (stop || next >= count) return;
                i = next++;
                item.emplace(std::move(*made[slot(i)]));
                made[slot(i)].reset();
            }
            std::optional<Result> result;
            std::exception_ptr failed;
            try {
                if (!map) map.emplace(makeMapper());
                result.emplace((*map)(std::move(*item)));
            } catch (...) {
                failed = std::current_exception();
            }
            std::lock_guard lock(mutex);
            if (failed) {
                if (!error) error = failed;
                stop = true;
            } else {
                ready[slot(i)] = std::move(result);
            }
            changed.notify_all();
        }
    };
    std::vector<std::thread> workers;
    const auto finish = [&] {
        {
            std::lock_guard lock(mutex);
            stop = true;
        }
        changed.notify_all();
        for (std::thread& worker : workers) worker.join();
    };
    for (int t = 0; t < threads; ++t) workers.emplace_back(work);
    try {
        for (long long i = 0; i < count; ++i) {
            // Item j's slot is free once item j - window is consumed.
            while (produced < std::min(count, i + window)) {
                Item item = produce(produced);
                std::lock_guard lock(mutex);
                made[slot(produced)].emplace(std::move(item));
                ++produced;
                changed.notify_all();
            }
            std::optional<Result> result;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || ready[slot(i)].has_value(); });
                if (error) break;
                result = std::move(ready[slot(i)]);
                ready[slot(i)].reset();
            }
            consume(i, std::move(*result));
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    if (error) std::rethrow_exception(error);
}

}  // namespace report::pdf
