#include "archive/RecordFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Holds an exclusive lock on the whole file for its lifetime. Open-file-description
// locks belong to this handle, so two handles of one process exclude each other too.
class AppendLock {
public:
    explicit AppendLock(int fd) : fd_(fd) { Apply(F_WRLCK); }
    ~AppendLock() { Apply(F_UNLCK); }
    bool Held() const { return held_; }

private:
    void Apply(short type) {
        struct flock lock {};
        lock.l_type = type;
        lock.l_whence = SEEK_SET;
        int rc;
        do {
            rc = fcntl(fd_, F_OFD_SETLKW, &lock);
        } while (rc != 0 && errno == EINTR);
        if (type == F_WRLCK) held_ = rc == 0;
    }
    int fd_;
    bool held_ = false;
};

}  // namespace

RecordFileBase::RecordFileBase(const char* fileName, std::size_t recordSize)
    : fileName_(fileName), recordSize_(recordSize) {}

RecordFileBase::~RecordFileBase() { Close(); }

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
}

void RecordFileBase::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
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
    const off_t offset = static_cast<off_t>(position_) * static_cast<off_t>(recordSize_);
    std::size_t done = 0;
    const auto* in = static_cast<const char*>(record);
    while (done < recordSize_) {
        const ssize_t n = ::pwrite(fd_, in + done, recordSize_ - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw FileError(n < 0 ? Reason(errno).toStdString() : "Scrittura incompleta");
        done += static_cast<std::size_t>(n);
    }
    ++position_;
}

void RecordFileBase::AppendBytes(const void* record) {
    if (fd_ < 0) throw FileError("Archivio non aperto");
    AppendLock lock(fd_);
    if (!lock.Held()) throw FileError("Impossibile bloccare l'archivio");
    position_ = RecordCount();
    WriteBytes(record);
}
