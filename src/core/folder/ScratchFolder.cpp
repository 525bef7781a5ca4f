#include "core/folder/ScratchFolder.h"

#include <QDir>
#include <QFile>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdexcept>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The folders the signal handler removes: plain buffers, filled before a slot
// is marked in use, since the handler may run at any moment.
constexpr int kSlots = 4;

struct Slot {
    volatile sig_atomic_t used = 0;
    char folder[PATH_MAX] = {};
};

Slot registry[kSlots];

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
    for (Slot& slot : registry)
        if (slot.used) RemoveFolder(slot.folder);
    std::signal(signal, SIG_DFL);
    ::raise(signal);
}

// Installed once, for the rest of the run, where the process has left the
// signal as it comes.
void InstallHandlers() {
    static const bool installed = [] {
        for (int signal : {SIGTERM, SIGINT}) {
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

ScratchFolder::ScratchFolder() {
    QByteArray pattern = QFile::encodeName(QDir::tempPath() + QStringLiteral("/velmora-XXXXXX"));
    if (pattern.size() >= PATH_MAX) throw std::runtime_error("impossibile creare una cartella temporanea");
    InstallHandlers();
    // The folder is made and listed for the handler with the signals held
    // back, so that none can end the run in between.
    sigset_t held, previous;
    sigemptyset(&held);
    sigaddset(&held, SIGTERM);
    sigaddset(&held, SIGINT);
    pthread_sigmask(SIG_BLOCK, &held, &previous);
    const bool made = ::mkdtemp(pattern.data()) != nullptr;
    for (int s = 0; made && s < kSlots; ++s) {
        if (registry[s].used) continue;
        slot_ = s;
        std::memcpy(registry[s].folder, pattern.constData(), size_t(pattern.size()) + 1);
        registry[s].used = 1;
        break;
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (!made) throw std::runtime_error("impossibile creare una cartella temporanea");
    path_ = QFile::decodeName(pattern);
}

ScratchFolder::~ScratchFolder() {
    if (slot_ >= 0) registry[slot_].used = 0;
    QDir(path_).removeRecursively();
}

QString ScratchFolder::File(const QString& name) const { return path_ + QLatin1Char('/') + name; }
