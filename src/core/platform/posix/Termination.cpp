#include "core/platform/Termination.h"

#include <QFile>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdexcept>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {
namespace {

// The signals that end a run: kill's default, Ctrl-C, a closed terminal.
constexpr int kEndings[] = {SIGTERM, SIGINT, SIGHUP};

// The files and folders the handler removes: plain buffers, filled before an
// entry is marked listed, since the handler may run at any moment.
constexpr int kEntries = 16;
enum State : int { kFree, kReserved, kListed };

struct Listed {
    std::atomic<int> state{kFree};
    bool folder = false;
    char path[PATH_MAX] = {};
};

Listed registry[kEntries];
static_assert(std::atomic<int>::is_always_lock_free, "the handler reads the entries");

// Empties and removes a folder of plain files with async-signal-safe calls
// only: the entries are read with getdents64 rather than readdir, which may
// allocate.
void RemoveFolder(const char* folder) {
    const int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        alignas(8) static char entries[8192];
        long size;
        while ((size = ::syscall(SYS_getdents64, fd, entries, sizeof entries)) > 0) {
            for (long at = 0; at < size;) {
                const auto* entry = reinterpret_cast<const dirent64*>(entries + at);
                if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                    ::unlinkat(fd, entry->d_name, 0);
                at += entry->d_reclen;
            }
        }
        ::close(fd);
    }
    ::rmdir(folder);
}

extern "C" void RemoveAndEnd(int signal) {
    for (Listed& listed : registry) {
        if (listed.state.load() != kListed) continue;
        if (listed.folder) RemoveFolder(listed.path);
        else ::unlink(listed.path);
    }
    std::signal(signal, SIG_DFL);
    ::raise(signal);
}

// Installed once, for the rest of the run, where the process has left the
// signal as it comes.
void InstallHandlers() {
    static const bool installed = [] {
        for (int signal : kEndings) {
            struct sigaction current {};
            if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
            struct sigaction action {};
            action.sa_handler = RemoveAndEnd;
            sigemptyset(&action.sa_mask);
            sigaction(signal, &action, nullptr);
        }
        return true;
    }();
    (void)installed;
}

}  // namespace

int MakeListed(Made kind, const std::function<bool(QString&)>& make) {
    InstallHandlers();
    int entry = 0;
    for (int expected = kFree; entry < kEntries; ++entry, expected = kFree)
        if (registry[entry].state.compare_exchange_strong(expected, kReserved)) break;
    if (entry == kEntries) throw std::runtime_error("troppi file temporanei aperti insieme");
    sigset_t held, previous;
    sigemptyset(&held);
    for (int signal : kEndings) sigaddset(&held, signal);
    pthread_sigmask(SIG_BLOCK, &held, &previous);
    QString path;
    bool made = make(path);
    int error = errno;
    const QByteArray native = QFile::encodeName(path);
    if (made && native.size() >= PATH_MAX) {
        // Too long to list: unmade, as if it could not be made.
        kind == Made::Folder ? ::rmdir(native.constData()) : ::unlink(native.constData());
        made = false;
        error = ENAMETOOLONG;
    }
    if (made) {
        registry[entry].folder = kind == Made::Folder;
        std::memcpy(registry[entry].path, native.constData(), std::size_t(native.size()) + 1);
        registry[entry].state = kListed;
    } else {
        registry[entry].state = kFree;
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    return made ? entry : -1;
}

void Unlist(int& entry) {
    if (entry >= 0) registry[entry].state = kFree;
    entry = -1;
}

QString MakePrivateFolder(const QString& parent, const QString& prefix) {
    QByteArray pattern = QFile::encodeName(parent + QLatin1Char('/') + prefix + QStringLiteral("XXXXXX"));
    return ::mkdtemp(pattern.data()) ? QFile::decodeName(pattern) : QString();
}

}  // namespace platform
