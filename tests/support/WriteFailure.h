#pragma once
#include <sys/resource.h>

#include <csignal>

// While it lives, no regular file of the process can grow beyond limit bytes
// (by default not at all): a write past it fails as on a full disk. Unlike a
// read-only mode this holds for root too, who may write any file regardless of
// its permissions.
class WritesFail {
public:
    explicit WritesFail(rlim_t limit = 0) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~WritesFail() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    WritesFail(const WritesFail&) = delete;
    WritesFail& operator=(const WritesFail&) = delete;

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};
