#pragma once
#ifdef _WIN32
#include <atomic>
#include <thread>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <functional>
#include <vector>

namespace testing_support {

#ifdef _WIN32
// Windows has no fork: each job runs in a thread of its own, all at once.
// Files are shared between handles, not processes, so the jobs meet in them
// as copies of the program would. True when every job returned true.
inline bool RunInChildren(const std::vector<std::function<bool()>>& jobs) {
    std::atomic<bool> all{true};
    std::vector<std::thread> threads;
    for (const auto& job : jobs)
        threads.emplace_back([&all, &job] {
            if (!job()) all = false;
        });
    for (std::thread& thread : threads) thread.join();
    return all;
}
#else
// Runs each job in a child process of its own, all at once, and waits for
// them: true when every child returned true. A child never returns into the
// test; it ends with _exit.
inline bool RunInChildren(const std::vector<std::function<bool()>>& jobs) {
    std::vector<pid_t> children;
    for (const auto& job : jobs) {
        const pid_t pid = fork();
        if (pid == 0) _exit(job() ? 0 : 1);
        if (pid > 0) children.push_back(pid);
    }
    bool all = children.size() == jobs.size();
    for (pid_t pid : children) {
        int status = 0;
        all = waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0 && all;
    }
    return all;
}
#endif

}  // namespace testing_support
