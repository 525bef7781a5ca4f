#include "core/folder/FileAccess.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What a non-regular file is, as a message names it.
QString KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return QStringLiteral("una cartella");
    if (S_ISFIFO(mode)) return QStringLiteral("una pipe con nome (FIFO)");
    if (S_ISCHR(mode)) return QStringLiteral("un dispositivo a caratteri");
    if (S_ISBLK(mode)) return QStringLiteral("un dispositivo a blocchi");
    if (S_ISSOCK(mode)) return QStringLiteral("un socket");
    return QStringLiteral("un file speciale");
}

QString Refusal(const QString& path, mode_t mode) {
    return QStringLiteral("%1 non è un file ordinario: è %2").arg(path, KindOf(mode));
}

}  // namespace

int OpenRegularFile(const QString& path, int flags, QString& refusal) {
    refusal.clear();
    const QByteArray native = QFile::encodeName(path);
    // A look first, so that a device is never opened at all; then the open
    // does not wait on a FIFO that takes the name meanwhile, and the check is
    // repeated on what was opened.
    struct stat st {};
    if (::stat(native.constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        refusal = Refusal(path, st.st_mode);
        return -1;
    }
    int fd;
    do {
        fd = ::open(native.constData(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return -1;
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        refusal = Refusal(path, st.st_mode);
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

int OpenSubfolder(const QString& parent, const QString& name) {
    const int top = ::open(QFile::encodeName(parent).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (top < 0) return -1;
    const QByteArray native = QFile::encodeName(name);
    int fd = -1;
    if (::mkdirat(top, native.constData(), 0777) == 0 || errno == EEXIST)
        fd = ::openat(top, native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    // With O_DIRECTORY a link is refused as ENOTDIR: told apart by a look.
    struct stat st {};
    if (fd < 0 && errno == ENOTDIR && ::fstatat(top, native.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISLNK(st.st_mode))
        errno = ELOOP;
    const int error = errno;
    ::close(top);
    errno = error;
    return fd;
}

bool IsBareName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

bool WriteAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) {
            errno = EIO;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

bool CloseChecked(int fd) { return ::close(fd) == 0 || errno == EINTR; }

QString SystemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QFileInfo FollowLinks(const QString& path) {
    QFileInfo file(path);
    for (int depth = 0; depth < 40 && file.isSymLink(); ++depth) file.setFile(file.symLinkTarget());
    return file;
}
