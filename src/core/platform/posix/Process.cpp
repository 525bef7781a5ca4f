#include "core/platform/Process.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <pthread.h>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

void KeepRunningOnClosedPipe() { std::signal(SIGPIPE, SIG_IGN); }

void BlockSignalsOnThisThread() {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
}

QString HostName() {
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    return QString::fromLocal8Bit(name);
}

QString UserName() {
    const passwd* entry = ::getpwuid(::geteuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString();
}

long long ProcessId() { return ::getpid(); }

std::optional<bool> ProcessRuns(long long pid) {
    if (pid <= 0 || pid != static_cast<pid_t>(pid)) return std::nullopt;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

// Each process's open files, as /proc shows them, compared by device and inode.
bool OpenByAnotherProcess(const QString& document) {
    struct stat target {};
    if (::stat(QFile::encodeName(document).constData(), &target) != 0) return false;
    DIR* processes = ::opendir("/proc");
    if (!processes) return false;
    const uid_t me = ::geteuid();
    const pid_t self = ::getpid();
    bool open = false;
    while (const dirent* process = ::readdir(processes)) {
        char* end = nullptr;
        const long pid = std::strtol(process->d_name, &end, 10);
        if (*end != '\0' || pid <= 0 || pid == self) continue;
        const std::string base = std::string("/proc/") + process->d_name;
        struct stat owner {};
        if (::stat(base.c_str(), &owner) != 0 || owner.st_uid != me) continue;
        DIR* fds = ::opendir((base + "/fd").c_str());
        if (!fds) continue;
        while (const dirent* fd = ::readdir(fds)) {
            struct stat file {};
            if (fd->d_name[0] != '.' && ::stat((base + "/fd/" + fd->d_name).c_str(), &file) == 0 &&
                file.st_dev == target.st_dev && file.st_ino == target.st_ino) {
                open = true;
                break;
            }
        }
        ::closedir(fds);
        if (open) break;
    }
    ::closedir(processes);
    return open;
}

}  // namespace platform
