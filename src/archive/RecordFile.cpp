#include "archive/RecordFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Holds an exclusive lock on the whole file for its lifetime. Open-file-description
// locks belong to this handle, so two handles of one process exclude each other too.
// Another copy of the program holds the lock only for the moment of a write (an
// import for the write of all its records), so a lock still held after a while is
// stuck: the append fails rather than freeze the window. A file system that keeps no locks gets the append without one.
class AppendLock {
public:
    explicit AppendLock(int fd) : fd_(fd) {
        struct flock lock = Whole(F_WRLCK);
        for (int tries = 0; tries < kTries; ++tries) {
            if (fcntl(fd_, F_OFD_SETLK, &lock) == 0) {
                held_ = true;
                return;
            }
            if (errno == ENOLCK || errno == EINVAL || errno == EOPNOTSUPP) return;
            if (errno != EAGAIN && errno != EACCES && errno != EINTR) break;
            usleep(kPauseUs);
        }
        throw FileError("Archivio bloccato da un altro programma");
    }
    ~AppendLock() {
        if (!held_) return;
        struct flock lock = Whole(F_UNLCK);
        fcntl(fd_, F_OFD_SETLK, &lock);
    }
    AppendLock(const AppendLock&) = delete;
    AppendLock& operator=(const AppendLock&) = delete;

private:
    static constexpr int kTries = 2000;
    static constexpr useconds_t kPauseUs = 1000;

    static struct flock Whole(short type) {
        struct flock lock {};
        lock.l_type = type;
        lock.l_whence = SEEK_SET;
        return lock;
    }
    int fd_;
    bool held_ = false;
};

}  // namespace

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
    const QByteArray native = QFile::encodeName(path_);
    int fd;
    do {
        fd = ::open(native.constData(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        throw FileError(QStringLiteral("Impossibile aprire %1: %2").arg(path_, Reason(error)).toStdString());
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
    if (::close(fd) != 0 || !synced) {
        throw FileError(Reason(synced ? errno : syncError).toStdString());
    }
}

long long RecordFileBase::RecordCount() const {
    if (fd_ < 0) throw FileError("Archivio non aperto");
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throw FileError(Reason(errno).toStdString());
    return static_cast<long long>(st.st_size) / static_cast<long long>(recordSize_);
}

void RecordFileBase::Seek(long long index) {
    if (index < 0) throw FileError("Posizione non valida");
    position_ = index;
}

void RecordFileBase::ReadBytes(void* record) {
    if (fd_ < 0) throw FileError("Archivio non aperto");
    const off_t offset = static_cast<off_t>(position_) * static_cast<off_t>(recordSize_);
    std::size_t done = 0;
    auto* out = static_cast<char*>(record);
    while (done < recordSize_) {
        const ssize_t n = ::pread(fd_, out + done, recordSize_ - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw FileError(Reason(errno).toStdString());
        if (n == 0) throw FileError("Lettura oltre l'ultima scheda");
        done += static_cast<std::size_t>(n);
    }
    ++position_;
}

void RecordFileBase::WriteBytes(const void* record) {
    if (position_ > RecordCount()) throw FileError("Scrittura oltre la fine dell'archivio");
    WriteRun(record, recordSize_);
    ++position_;
}

void RecordFileBase::WriteRun(const void* records, std::size_t size) {
    const off_t offset = static_cast<off_t>(position_) * static_cast<off_t>(recordSize_);
    std::size_t done = 0;
    const auto* in = static_cast<const char*>(records);
    while (done < size) {
        const ssize_t n = ::pwrite(fd_, in + done, size - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw FileError(n < 0 ? Reason(errno).toStdString() : "Scrittura incompleta");
        done += static_cast<std::size_t>(n);
    }
    written_ = true;
}

void RecordFileBase::AppendBytes(const void* record) {
    if (fd_ < 0) throw FileError("Archivio non aperto");
    AppendLock lock(fd_);
    position_ = RecordCount();
    WriteBytes(record);
}

void RecordFileBase::AppendManyBytes(long long count, const FillBytes& fill) {
    if (fd_ < 0) throw FileError("Archivio non aperto");
    AppendLock lock(fd_);
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throw FileError(Reason(errno).toStdString());
    const long long first = RecordCount();
    // The records go out in pieces of about a megabyte and reach the disk
    // before the lock is let go. Should any piece or the flush fail, the file
    // is cut back to its old size while the lock still keeps other appenders
    // out: nobody ever finds part of the records.
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
        if (count > 0 && ::fdatasync(fd_) != 0) throw FileError(Reason(errno).toStdString());
    } catch (...) {
        while (::ftruncate(fd_, st.st_size) != 0 && errno == EINTR) {}
        position_ = first;
        throw;
    }
}
