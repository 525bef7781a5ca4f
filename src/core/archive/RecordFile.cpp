#include "core/archive/RecordFile.h"

#include "core/folder/FileAccess.h"

#include <QFile>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <vector>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

FileError FileFailure(const char* doing, const QString& file, const QString& reason) {
    return FileError(QStringLiteral("Impossibile %1 %2: %3").arg(QLatin1String(doing), file, reason).toStdString());
}

namespace {

int DefaultLockCall(int fd, int command, struct flock* lock) { return ::fcntl(fd, command, lock); }

LockCall& CurrentLockCall() {
    static LockCall call = DefaultLockCall;
    return call;
}

// Another copy of the program holds a lock only for the moment of a write: a
// lock still held after this many pauses is stuck, and the append fails rather
// than freeze the window.
constexpr int kTries = 2000;
constexpr useconds_t kPauseUs = 1000;

[[noreturn]] void Locked() { throw FileError("Archivio bloccato da un altro programma"); }

// The stand-in for the advisory lock on a file system that keeps none: a file
// beside the archive, created only when it does not exist (O_EXCL), holding
// its holder's machine, process and a stamp, and removed when the append is
// done. While it is held, a heartbeat touches it (its modification time) every
// kBeat, so a holder that writes for seconds keeps it fresh. A lock file left
// by a process that ended without removing it (killed, or its machine gone)
// is stale: one whose holder on this machine no longer runs is taken over at
// once; one from another machine, or without a holder, once it has stood
// untouched for kSilence, many heartbeats long. The one found stale is moved
// aside under a name of this process's own and removed only when it is the
// very one found stale (same file, same holder, same last heartbeat); a live
// one moved by a taker that came late is put back.
constexpr std::chrono::milliseconds kBeat{250};
constexpr std::chrono::milliseconds kSilence{3000};
// How long an append waits for a lock file: longer than the silence, so that a
// stale one from another machine can be taken over.
constexpr std::chrono::milliseconds kLockFileWait{kSilence + std::chrono::milliseconds(3000)};

class LockFile {
public:
    explicit LockFile(const QString& archive)
        : path_(QFile::encodeName(archive + QStringLiteral(".lock"))), holder_(Holder()) {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point start = Clock::now();
        Seen seen;
        Clock::time_point seenSince = start;
        while (Clock::now() - start < kLockFileWait) {
            const int fd = ::open(path_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                struct stat st {};
                const bool ok = WriteAll(fd, holder_.constData(), holder_.size()) && ::fdatasync(fd) == 0 &&
                                ::fstat(fd, &st) == 0;
                const int error = errno;
                inode_ = st.st_ino;
                if (ok) {
                    fd_ = fd;
                    heartbeat_ = std::thread([this] { Beat(); });
                    return;
                }
                ::close(fd);
                ::unlink(path_.constData());
                throw FileFailure("scrivere", QFile::decodeName(path_), SystemReason(error));
            }
            if (errno == EINTR) continue;
            if (errno != EEXIST) throw FileFailure("creare", QFile::decodeName(path_), SystemReason(errno));
            const std::optional<Seen> now = Look(path_);
            if (!now) continue;  // gone meanwhile: try again at once
            if (!(*now == seen)) {
                seen = *now;
                seenSince = Clock::now();
            }
            const std::optional<bool> running = HolderRuns(seen.holder);
            const bool stale =
                running == false || (!running.value_or(false) && Clock::now() - seenSince >= kSilence);
            if (stale && TakeOver(seen)) continue;
            usleep(kPauseUs);
        }
        Locked();
    }
    ~LockFile() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        stop_.notify_all();
        heartbeat_.join();
        // Removed only while it is still this holder's own.
        if (StillOurs()) ::unlink(path_.constData());
        ::close(fd_);
    }
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

    // Whether the lock file is still this holder's: not taken over meanwhile.
    bool StillOurs() const {
        struct stat st {};
        return ::lstat(path_.constData(), &st) == 0 && st.st_ino == inode_ && Contents(path_) == holder_;
    }

private:
    // What a waiter sees of a lock file; any change means its holder lives.
    struct Seen {
        ino_t inode = 0;
        QByteArray holder;
        timespec touched {};
        bool operator==(const Seen& o) const {
            return inode == o.inode && holder == o.holder && touched.tv_sec == o.touched.tv_sec &&
                   touched.tv_nsec == o.touched.tv_nsec;
        }
    };

    static std::optional<Seen> Look(const QByteArray& path) {
        Seen seen;
        seen.holder = Contents(path);
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0) return std::nullopt;
        seen.inode = st.st_ino;
        seen.touched = st.st_mtim;
        return seen;
    }

    void Beat() {
        std::unique_lock lock(mutex_);
        while (!stop_.wait_for(lock, kBeat, [this] { return stopping_; })) ::futimens(fd_, nullptr);
    }

    static QByteArray Machine() {
        char name[256] = {};
        ::gethostname(name, sizeof name - 1);
        return QByteArray(name);
    }

    // "machine pid stamp".
    static QByteArray Holder() {
        timespec now {};
        clock_gettime(CLOCK_REALTIME, &now);
        return Machine() + ' ' + QByteArray::number(::getpid()) + ' ' + QByteArray::number(now.tv_sec) + '.' +
               QByteArray::number(now.tv_nsec);
    }

    static QByteArray Contents(const QByteArray& path) {
        QFile file(QFile::decodeName(path));
        return file.open(QIODevice::ReadOnly) ? file.read(1024) : QByteArray();
    }

    // Whether the holder named in a lock file runs: unknown for another
    // machine's process or a file without a holder.
    static std::optional<bool> HolderRuns(const QByteArray& holder) {
        const QList<QByteArray> parts = holder.split(' ');
        if (parts.size() != 3 || parts[0] != Machine()) return std::nullopt;
        bool ok = false;
        const pid_t pid = parts[1].toInt(&ok);
        if (!ok || pid <= 0) return std::nullopt;
        return ::kill(pid, 0) == 0 || errno != ESRCH;
    }

    bool TakeOver(const Seen& stale) const {
        const QByteArray aside = path_ + '.' + QByteArray::number(::getpid()) + ".stale";
        if (::rename(path_.constData(), aside.constData()) != 0) return false;
        const std::optional<Seen> moved = Look(aside);
        const bool same = moved && *moved == stale;
        if (!same) ::link(aside.constData(), path_.constData());
        ::unlink(aside.constData());
        return same;
    }

    QByteArray path_;
    QByteArray holder_;
    ino_t inode_ = 0;
    int fd_ = -1;
    std::thread heartbeat_;
    std::mutex mutex_;
    std::condition_variable stop_;
    bool stopping_ = false;
};

// Holds an exclusive lock on the whole file for its lifetime. Open-file-description
// locks belong to this handle, so two handles of one process exclude each other too.
// A file system that keeps no advisory locks gets the lock file instead.
class AppendLock {
public:
    AppendLock(int fd, const QString& path) : fd_(fd) {
        struct flock lock = Whole(F_WRLCK);
        for (int tries = 0; tries < kTries; ++tries) {
            if (CurrentLockCall()(fd_, F_OFD_SETLK, &lock) == 0) {
                held_ = true;
                return;
            }
            if (errno == ENOLCK || errno == EINVAL || errno == EOPNOTSUPP || errno == ENOSYS) {
                lockFile_.emplace(path);
                return;
            }
            if (errno != EAGAIN && errno != EACCES && errno != EINTR) break;
            usleep(kPauseUs);
        }
        Locked();
    }
    ~AppendLock() {
        if (!held_) return;
        struct flock lock = Whole(F_UNLCK);
        CurrentLockCall()(fd_, F_OFD_SETLK, &lock);
    }
    AppendLock(const AppendLock&) = delete;
    AppendLock& operator=(const AppendLock&) = delete;

    // Whether the lock still excludes every other appender: an advisory lock
    // always does; a lock file while nobody took it over.
    bool Held() const { return !lockFile_ || lockFile_->StillOurs(); }

private:
    static struct flock Whole(short type) {
        struct flock lock {};
        lock.l_type = type;
        lock.l_whence = SEEK_SET;
        return lock;
    }
    int fd_;
    bool held_ = false;
    std::optional<LockFile> lockFile_;
};

}  // namespace

LockCall SetLockCall(LockCall call) {
    const LockCall previous = CurrentLockCall();
    CurrentLockCall() = call ? call : DefaultLockCall;
    return previous;
}

RecordFileBase::RecordFileBase(const char* fileName, std::size_t recordSize)
    : fileName_(fileName), recordSize_(recordSize) {}

RecordFileBase::~RecordFileBase() {
    if (fd_ >= 0) ::close(fd_);
}

void RecordFileBase::OpenOrCreate(const QString& folder) { Open(folder, O_RDWR | O_CREAT); }

void RecordFileBase::OpenForReading(const QString& folder) { Open(folder, O_RDONLY); }

void RecordFileBase::Open(const QString& folder, int flags) {
    Close();
    path_ = folder + QLatin1Char('/') + QLatin1String(fileName_);
    QString refusal;
    const int fd = OpenRegularFile(path_, flags, refusal);
    if (!refusal.isEmpty()) throw FileError(refusal.toStdString());
    if (fd < 0) {
        const int error = errno;
        throw FileFailure("aprire", path_, SystemReason(error));
    }
    fd_ = fd;
    position_ = 0;
    written_ = false;
}

void RecordFileBase::Close() {
    if (fd_ < 0) return;
    const int fd = fd_;
    fd_ = -1;
    // On a network folder a write may fail only now: what was written must
    // have reached the file before the command reports success.
    const bool synced = !written_ || ::fdatasync(fd) == 0;
    const int syncError = errno;
    if (::close(fd) != 0 || !synced) throw FileFailure("scrivere", path_, SystemReason(synced ? errno : syncError));
}

long long RecordFileBase::RecordCount() const {
    if (fd_ < 0) throw FileError("Archivio non aperto");
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throw FileFailure("leggere", path_, SystemReason(errno));
    off_t size = st.st_size;
    if (const std::optional<off_t> committed = JournalledSize()) size = std::min(size, *committed);
    return static_cast<long long>(size) / static_cast<long long>(recordSize_);
}

QByteArray RecordFileBase::JournalPath() const { return QFile::encodeName(path_ + QStringLiteral(".journal")); }

namespace {

// The journal's one line: "velmora-journal SIZE CHECK\n", CHECK the FNV-1a
// hash of the last whole record before SIZE (0 for an empty archive).
constexpr char kJournalTag[] = "velmora-journal";

unsigned long long Check(const char* bytes, std::size_t size) {
    unsigned long long hash = 14695981039346656037ULL;
    for (std::size_t i = 0; i < size; ++i) hash = (hash ^ static_cast<unsigned char>(bytes[i])) * 1099511628211ULL;
    return hash;
}

// Syncs the folder, so that a journal made or removed stays so after a crash.
// A file system that cannot sync a folder (EINVAL) keeps its entries anyway.
void SyncFolderOf(const QByteArray& path) {
    const QByteArray folder = path.left(std::max<qsizetype>(path.lastIndexOf('/'), 1));
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    const int error = errno;
    ::close(fd);
    if (!synced) throw FileFailure("scrivere", QFile::decodeName(path), SystemReason(error));
}

}  // namespace

std::optional<off_t> RecordFileBase::JournalledSize() const {
    QFile journal(QFile::decodeName(JournalPath()));
    if (!journal.open(QIODevice::ReadOnly)) return std::nullopt;
    const QList<QByteArray> parts = journal.read(128).trimmed().split(' ');
    bool sizeRead = false, checkRead = false;
    const long long size = parts.size() == 3 ? parts[1].toLongLong(&sizeRead) : 0;
    const unsigned long long check = parts.size() == 3 ? parts[2].toULongLong(&checkRead) : 0;
    if (parts.size() != 3 || parts[0] != kJournalTag || !sizeRead || !checkRead || size < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || st.st_size < size) return std::nullopt;
    if (LastRecordCheck(static_cast<off_t>(size)) != check) return std::nullopt;
    return static_cast<off_t>(size);
}

std::optional<unsigned long long> RecordFileBase::LastRecordCheck(off_t size) const {
    const off_t last = size / static_cast<off_t>(recordSize_) * static_cast<off_t>(recordSize_) -
                       static_cast<off_t>(recordSize_);
    if (last < 0) return 0ULL;
    std::vector<char> record(recordSize_);
    if (::pread(fd_, record.data(), recordSize_, last) != static_cast<ssize_t>(recordSize_)) return std::nullopt;
    return Check(record.data(), recordSize_);
}

void RecordFileBase::RollBackUncommitted() {
    if (const std::optional<off_t> committed = JournalledSize()) {
        int result;
        while ((result = ::ftruncate(fd_, *committed)) != 0 && errno == EINTR) {}
        if (result != 0 || ::fdatasync(fd_) != 0)
            throw FileFailure("ripristinare", path_, SystemReason(errno));
    }
    RemoveJournal();
}

void RecordFileBase::WriteJournal(off_t size) {
    const std::optional<unsigned long long> check = LastRecordCheck(size);
    if (!check) throw FileFailure("leggere", path_, SystemReason(errno));
    const QByteArray line = QByteArray(kJournalTag) + ' ' + QByteArray::number(static_cast<long long>(size)) + ' ' +
                            QByteArray::number(*check) + '\n';
    const QByteArray path = JournalPath();
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool written = fd >= 0 && WriteAll(fd, line.constData(), line.size()) && ::fdatasync(fd) == 0;
    const int error = errno;
    if ((fd >= 0 && !CloseChecked(fd)) || !written) {
        ::unlink(path.constData());
        throw FileFailure("scrivere", QFile::decodeName(path), SystemReason(written ? errno : error));
    }
    SyncFolderOf(path);
}

void RecordFileBase::RemoveJournal() {
    const QByteArray path = JournalPath();
    if (::unlink(path.constData()) != 0) {
        if (errno == ENOENT) return;  // none to remove
        throw FileFailure("eliminare", QFile::decodeName(path), SystemReason(errno));
    }
    SyncFolderOf(path);
}

void RecordFileBase::Seek(long long index) {
    if (index < 0) throw FileError("Posizione non valida");
    position_ = index;
}

off_t RecordFileBase::OffsetOf(long long index) const {
    // The record's last byte must have an offset too.
    off_t offset = 0;
    off_t end = 0;
    if (__builtin_mul_overflow(index, static_cast<off_t>(recordSize_), &offset) ||
        __builtin_add_overflow(offset, static_cast<off_t>(recordSize_), &end))
        throw FileError("Posizione oltre la fine dell'archivio");
    return offset;
}

void RecordFileBase::ReadBytes(void* record) {
    if (ReadRun(record, recordSize_) < recordSize_) throw FileError("Lettura oltre l'ultima scheda");
    ++position_;
}

void RecordFileBase::ReadManyBytes(long long count, const VisitBytes& visit) {
    // Pieces of 128 KB, which stay in the processor's cache while visited.
    const long long perPiece = std::max<long long>(1, (128 << 10) / static_cast<long long>(recordSize_));
    std::vector<char> piece(static_cast<std::size_t>(std::clamp(count, 0LL, perPiece)) * recordSize_);
    while (count > 0) {
        const std::size_t size = static_cast<std::size_t>(std::min(count, perPiece)) * recordSize_;
        const std::size_t read = ReadRun(piece.data(), size);
        for (std::size_t at = 0; at + recordSize_ <= read; at += recordSize_) {
            ++position_;
            --count;
            visit(piece.data() + at);
        }
        if (read < size) throw FileError("Lettura oltre l'ultima scheda");
    }
}

std::size_t RecordFileBase::ReadRun(void* records, std::size_t size) {
    if (fd_ < 0) throw FileError("Archivio non aperto");
    const off_t offset = OffsetOf(position_);
    std::size_t done = 0;
    auto* out = static_cast<char*>(records);
    while (done < size) {
        const ssize_t n = ::pread(fd_, out + done, size - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw FileFailure("leggere", path_, SystemReason(errno));
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void RecordFileBase::WriteBytes(const void* record) {
    if (position_ > RecordCount()) throw FileError("Scrittura oltre la fine dell'archivio");
    WriteRun(record, recordSize_);
    ++position_;
}

void RecordFileBase::WriteRun(const void* records, std::size_t size) {
    const off_t offset = OffsetOf(position_);
    std::size_t done = 0;
    const auto* in = static_cast<const char*>(records);
    while (done < size) {
        const ssize_t n = ::pwrite(fd_, in + done, size - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw FileFailure("scrivere", path_, n < 0 ? SystemReason(errno) : QStringLiteral("scrittura incompleta"));
        done += static_cast<std::size_t>(n);
    }
    written_ = true;
}

void RecordFileBase::AppendBytes(const void* record) {
    if (fd_ < 0) throw FileError("Archivio non aperto");
    AppendLock lock(fd_, path_);
    RollBackUncommitted();
    position_ = RecordCount();
    WriteBytes(record);
}

void RecordFileBase::AppendManyBytes(long long count, const FillBytes& fill) {
    if (fd_ < 0) throw FileError("Archivio non aperto");
    AppendLock lock(fd_, path_);
    RollBackUncommitted();
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throw FileFailure("leggere", path_, SystemReason(errno));
    const long long first = RecordCount();
    if (count <= 0) return;
    // The journal first, then the records in pieces of about a megabyte,
    // synced; removing the journal commits them. Should any step before the
    // commit fail, the file is cut back to its old size while the lock still
    // keeps other appenders out; should the process die, whoever takes the
    // lock next cuts it back. Nobody ever finds part of the records.
    WriteJournal(st.st_size);
    const long long perPiece = std::max<long long>(1, (1 << 20) / static_cast<long long>(recordSize_));
    std::vector<char> piece(static_cast<std::size_t>(std::min(count, perPiece)) * recordSize_);
    try {
        position_ = first;
        for (long long done = 0; done < count;) {
            const long long n = std::min(count - done, perPiece);
            std::fill(piece.begin(), piece.end(), 0);
            for (long long i = 0; i < n; ++i) fill(done + i, piece.data() + i * recordSize_);
            WriteRun(piece.data(), static_cast<std::size_t>(n) * recordSize_);
            done += n;
            position_ = first + done;
        }
        if (::fdatasync(fd_) != 0) throw FileFailure("scrivere", path_, SystemReason(errno));
        if (!lock.Held()) Locked();
        RemoveJournal();
    } catch (...) {
        // Cut back, then the journal goes: a failure of either leaves the
        // journal, and the next append cuts back.
        int result;
        while ((result = ::ftruncate(fd_, st.st_size)) != 0 && errno == EINTR) {}
        if (result == 0 && ::fdatasync(fd_) == 0) {
            try {
                RemoveJournal();
            } catch (const FileError&) {
            }
        }
        position_ = first;
        throw;
    }
}
