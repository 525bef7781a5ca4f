#pragma once
#include <sys/resource.h>

#include <csignal>

// While it lives, no regular file of the process can grow: every write fails
// as on a full disk. Unlike a read-only mode this holds for root too, who may
// write any file regardless of its permissions.
class WritesFail {
public:
    WritesFail() {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = saved_;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
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
