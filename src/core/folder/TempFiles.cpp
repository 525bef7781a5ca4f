#include "core/folder/TempFiles.h"

#include "core/folder/FileAccess.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <atomic>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <pthread.h>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <utility>

namespace {

// The files and folders the signal handler removes: plain buffers, filled
// before a slot is marked listed, since the handler may run at any moment.
constexpr int kSlots = 16;
enum State : int { kFree, kReserved, kListed };

struct Slot {
    std::atomic<int> state{kFree};
    bool folder = false;
    char path[PATH_MAX] = {};
};

Slot registry[kSlots];
static_assert(std::atomic<int>::is_always_lock_free, "the handler reads the slots");

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
    for (Slot& slot : registry) {
        if (slot.state.load() != kListed) continue;
        if (slot.folder) RemoveFolder(slot.path);
        else ::unlink(slot.path);
    }
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

// Makes a file or folder with `make`, which fills in its path, and lists it
// for the handler, with the signals held back so that none can end the run
// in between. Returns the slot, or -1 when make failed (errno as make left
// it). Throws std::runtime_error when every slot is taken: nothing is made.
int MakeListed(bool folder, const std::function<bool(QByteArray&)>& make, QByteArray& path) {
    InstallHandlers();
    int slot = 0;
    for (int expected = kFree; slot < kSlots; ++slot, expected = kFree)
        if (registry[slot].state.compare_exchange_strong(expected, kReserved)) break;
    if (slot == kSlots) throw std::runtime_error("troppi file temporanei aperti insieme");
    sigset_t held, previous;
    sigemptyset(&held);
    sigaddset(&held, SIGTERM);
    sigaddset(&held, SIGINT);
    pthread_sigmask(SIG_BLOCK, &held, &previous);
    const bool made = make(path);
    const int error = errno;
    if (made) {
        registry[slot].folder = folder;
        std::memcpy(registry[slot].path, path.constData(), std::size_t(path.size()) + 1);
        registry[slot].state = kListed;
    } else {
        registry[slot].state = kFree;
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    return made ? slot : -1;
}

void Unlist(int& slot) {
    if (slot >= 0) registry[slot].state = kFree;
    slot = -1;
}

}  // namespace

ScratchFolder::ScratchFolder() {
    QByteArray pattern = QFile::encodeName(QDir::tempPath() + QStringLiteral("/velmora-XXXXXX"));
    if (pattern.size() >= PATH_MAX) throw std::runtime_error("impossibile creare una cartella temporanea");
    slot_ = MakeListed(true, [](QByteArray& path) { return ::mkdtemp(path.data()) != nullptr; }, pattern);
    if (slot_ < 0) throw std::runtime_error("impossibile creare una cartella temporanea");
    path_ = QFile::decodeName(pattern);
}

ScratchFolder::~ScratchFolder() {
    QDir(path_).removeRecursively();
    Unlist(slot_);
}

QString ScratchFolder::File(const QString& name) const { return path_ + QLatin1Char('/') + name; }

ReplacingFile::ReplacingFile(QString path) : path_(std::move(path)) {}

ReplacingFile::ReplacingFile(int folder, const QString& folderPath, QString name, Existing existing)
    : path_(std::move(name)), followLinks_(false), existing_(existing), given_(folder), folderPath_(folderPath) {}

ReplacingFile::~ReplacingFile() {
    Discard();
    if (folder_ >= 0) ::close(folder_);
}

// The target's folder, open for the *at calls, and the target's name in it:
// a path is followed through its links first; a folder given open is taken
// as it is, by a copy of its descriptor.
bool ReplacingFile::OpenFolder() {
    if (!followLinks_) {
        folder_ = ::fcntl(given_, F_DUPFD_CLOEXEC, 0);
        target_ = QFile::encodeName(path_);
        return folder_ >= 0;
    }
    const QFileInfo info = FollowLinks(path_);
    folderPath_ = info.absolutePath();
    target_ = QFile::encodeName(info.fileName());
    folder_ = ::open(QFile::encodeName(folderPath_).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    return folder_ >= 0;
}

bool ReplacingFile::Open() {
    if (!OpenFolder()) return Fail(errno);
    struct stat existing {};
    const bool found =
        ::fstatat(folder_, target_.constData(), &existing, followLinks_ ? 0 : AT_SYMLINK_NOFOLLOW) == 0;
    if (found && followLinks_ && !S_ISREG(existing.st_mode)) {
        fd_ = ::openat(folder_, target_.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    } else {
        // Hidden beside the target, named by the beginning of its name (so
        // that a long name leaves room); a new file gets the permissions any
        // new file gets, a replacement those of the file it replaces.
        const bool replaces = found && S_ISREG(existing.st_mode);
        QString beginning = QFile::decodeName(target_).left(40);
        if (!beginning.isEmpty() && beginning.back().isHighSurrogate()) beginning.chop(1);
        const QByteArray prefix = '.' + QFile::encodeName(beginning) + '.';
        const QByteArray folder = QFile::encodeName(folderPath_) + '/';
        QByteArray listed;
        try {
            slot_ = MakeListed(false, [&](QByteArray& path) {
                for (int attempt = 0; attempt < 100; ++attempt) {
                    temporary_ = prefix + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
                    path = folder + temporary_;
                    if (path.size() >= PATH_MAX) return errno = ENAMETOOLONG, false;
                    fd_ = ::openat(folder_, temporary_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                   replaces ? 0600 : 0666);
                    if (fd_ >= 0 || errno != EEXIST) return fd_ >= 0;
                }
                return false;
            }, listed);
        } catch (const std::runtime_error& error) {
            temporary_.clear();
            reason_ = QString::fromUtf8(error.what());
            return false;
        }
        if (slot_ < 0) temporary_.clear();
        if (fd_ >= 0 && replaces) ::fchmod(fd_, existing.st_mode & 07777);
    }
    if (fd_ < 0) return Fail(errno);
    if (!device_.open(fd_, QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) return Fail(EIO);
    return true;
}

bool ReplacingFile::Commit() {
    errno = 0;
    if (!device_.flush()) return Fail(errno ? errno : EIO);
    device_.close();
    // A file system that cannot sync (EINVAL) keeps what it has.
    if (!temporary_.isEmpty() && ::fdatasync(fd_) != 0 && errno != EINVAL) return Fail(errno);
    const int fd = std::exchange(fd_, -1);
    if (!CloseChecked(fd)) return Fail(errno);
    if (temporary_.isEmpty()) return true;
    if (!PutInPlace()) return Fail(errno);
    temporary_.clear();
    Unlist(slot_);
    // The rename lasts through a power cut once the folder is synced.
    const int folder = ::openat(folder_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

// Renames the temporary file to the target; false with errno set. Where the
// target must stay as it is, in one step that fails (EEXIST) when anything at
// all stands under its name: a rename that never replaces; on a file system
// without one (NFS) a hard link, then the temporary name removed; on one with
// neither (a FUSE mount of a network share) a look just before the rename.
bool ReplacingFile::PutInPlace() {
    const char* from = temporary_.constData();
    const char* to = target_.constData();
    struct stat standing {};
    const auto stands = [&] { return ::fstatat(folder_, to, &standing, AT_SYMLINK_NOFOLLOW) == 0; };
    if (existing_ == Existing::Replace) {
        if (!followLinks_ && stands() && S_ISLNK(standing.st_mode)) return errno = ELOOP, false;
        return ::renameat(folder_, from, folder_, to) == 0;
    }
    if (::renameat2(folder_, from, folder_, to, RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    if (::linkat(folder_, from, folder_, to, 0) == 0) {
        ::unlinkat(folder_, from, 0);
        return true;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) return false;
    if (stands()) return errno = EEXIST, false;
    return ::renameat(folder_, from, folder_, to) == 0;
}

bool ReplacingFile::Fail(int error) {
    reason_ = SystemReason(error);
    Discard();
    return false;
}

void ReplacingFile::Discard() {
    device_.close();
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    if (!temporary_.isEmpty()) ::unlinkat(folder_, temporary_.constData(), 0);
    temporary_.clear();
    Unlist(slot_);
}
