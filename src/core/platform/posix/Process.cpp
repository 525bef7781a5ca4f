#include "core/platform/Process.h"

#include <csignal>
#include <pthread.h>
#include <unistd.h>

namespace platform {

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

void KeepRunningOnClosedPipe() { std::signal(SIGPIPE, SIG_IGN); }

void BlockSignalsOnThisThread() {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
}

}  // namespace platform
