#include "core/platform/Files.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {
namespace {

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

QByteArray Native(const QString& name) { return QFile::encodeName(name); }

// What a non-regular file is, as a message names it.
QString KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return QStringLiteral("una cartella");
    if (S_ISFIFO(mode)) return QStringLiteral("una pipe con nome (FIFO)");
    if (S_ISCHR(mode)) return QStringLiteral("un dispositivo a caratteri");
    if (S_ISBLK(mode)) return QStringLiteral("un dispositivo a blocchi");
    if (S_ISSOCK(mode)) return QStringLiteral("un socket");
    if (S_ISLNK(mode)) return QStringLiteral("un collegamento simbolico");
    return QStringLiteral("un file speciale");
}

QString Refusal(const QString& path, mode_t mode) {
    return QStringLiteral("%1 non è un file ordinario: è %2").arg(path, KindOf(mode));
}

FileId IdOf(const struct stat& st) { return {std::uint64_t(st.st_dev), std::uint64_t(st.st_ino)}; }

void CloseKeepingErrno(int fd) {
    const int error = errno;
    ::close(fd);
    errno = error;
}

// Opens name in folder (AT_FDCWD: a path) when it is a regular file; the
// descriptor, or -1 with refusal or errno set.
int OpenRegularAt(int folder, const QByteArray& name, int flags, const QString& shown, QString& refusal) {
    refusal.clear();
    // A look first, so that a device is never opened at all; then the open
    // does not wait on a FIFO that takes the name meanwhile, and the check is
    // repeated on what was opened.
    struct stat st {};
    const int look = (flags & O_NOFOLLOW) ? AT_SYMLINK_NOFOLLOW : 0;
    if (::fstatat(folder, name.constData(), &st, look) == 0 && !S_ISREG(st.st_mode)) {
        refusal = Refusal(shown, st.st_mode);
        return -1;
    }
    int fd;
    do {
        fd = ::openat(folder, name.constData(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return -1;
    if (::fstat(fd, &st) != 0) {
        CloseKeepingErrno(fd);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        refusal = Refusal(shown, st.st_mode);
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

}  // namespace

bool File::CloseHandle(std::intptr_t handle) { return ::close(Fd(handle)) == 0 || errno == EINTR; }

File File::OpenRegular(const QString& path, Access access, QString& refusal) {
    const int flags = access == Access::Read ? O_RDONLY : access == Access::ReadWrite ? O_RDWR : O_RDWR | O_CREAT;
    const int fd = OpenRegularAt(AT_FDCWD, Native(path), flags, path, refusal);
    return fd < 0 ? File() : File(fd);
}

std::optional<qint64> File::Size() const {
    struct stat st {};
    if (::fstat(Fd(handle_), &st) != 0) return std::nullopt;
    return qint64(st.st_size);
}

std::optional<FileId> File::Id() const {
    struct stat st {};
    if (::fstat(Fd(handle_), &st) != 0) return std::nullopt;
    return IdOf(st);
}

qint64 File::ReadAt(void* data, qint64 size, qint64 offset) const {
    qint64 done = 0;
    auto* out = static_cast<char*>(data);
    while (done < size) {
        const ssize_t n = ::pread(Fd(handle_), out + done, size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += n;
    }
    return done;
}

bool File::WriteAt(const void* data, qint64 size, qint64 offset) {
    qint64 done = 0;
    const auto* in = static_cast<const char*>(data);
    while (done < size) {
        const ssize_t n = ::pwrite(Fd(handle_), in + done, size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return errno = EIO, false;
        done += n;
    }
    return true;
}

qint64 File::Read(void* data, qint64 size) {
    qint64 done = 0;
    auto* out = static_cast<char*>(data);
    while (done < size) {
        const ssize_t n = ::read(Fd(handle_), out + done, size_t(size - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += n;
    }
    return done;
}

bool File::Write(const void* data, qint64 size) {
    const auto* in = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(Fd(handle_), in, size_t(size));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return errno = EIO, false;
        in += n;
        size -= n;
    }
    return true;
}

bool File::Rewind() { return ::lseek(Fd(handle_), 0, SEEK_SET) == 0; }

bool File::Sync() { return ::fdatasync(Fd(handle_)) == 0; }

bool File::Truncate(qint64 size) {
    int result;
    while ((result = ::ftruncate(Fd(handle_), off_t(size))) != 0 && errno == EINTR) {}
    return result == 0;
}

bool File::Touch() { return ::futimens(Fd(handle_), nullptr) == 0; }

Folder Folder::Open(const QString& path) {
    const int fd = ::open(Native(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return fd < 0 ? Folder() : Folder(fd, path);
}

Folder Folder::Sub(const QString& name) const {
    const QByteArray native = Native(name);
    int fd = -1;
    if (::mkdirat(Fd(handle_), native.constData(), 0777) == 0 || errno == EEXIST)
        fd = ::openat(Fd(handle_), native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    // With O_DIRECTORY a link is refused as ENOTDIR: told apart by a look.
    struct stat st {};
    if (fd < 0 && errno == ENOTDIR && ::fstatat(Fd(handle_), native.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISLNK(st.st_mode))
        errno = ELOOP;
    return fd < 0 ? Folder() : Folder(fd, Shown(name));
}

Folder Folder::Parent() const {
    const int fd = ::openat(Fd(handle_), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return fd < 0 ? Folder() : Folder(fd, Shown(QStringLiteral("..")));
}

std::optional<FileId> Folder::Id() const {
    struct stat st {};
    if (::fstat(Fd(handle_), &st) != 0) return std::nullopt;
    return IdOf(st);
}

Entry Folder::Look(const QString& name) const {
    struct stat st {};
    if (::fstatat(Fd(handle_), Native(name).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) return {};
    using Kind = Entry::Kind;
    const Kind kind = S_ISREG(st.st_mode)   ? Kind::Regular
                      : S_ISLNK(st.st_mode) ? Kind::Link
                      : S_ISDIR(st.st_mode) ? Kind::Folder
                                            : Kind::Other;
    return {kind, IdOf(st), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, unsigned(st.st_mode & 07777)};
}

File Folder::CreateNew(const QString& name, const Entry* like) const {
    const int fd = ::openat(Fd(handle_), Native(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                            like ? 0600 : 0666);
    if (fd < 0) return File();
    if (like) ::fchmod(fd, mode_t(like->permissions));
    return File(fd);
}

File Folder::OpenForWriting(const QString& name) const {
    const int fd = ::openat(Fd(handle_), Native(name).constData(), O_WRONLY | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
    return fd < 0 ? File() : File(fd);
}

std::optional<QByteArray> Folder::ReadSmall(const QString& name, qint64 limit, QString& refusal) const {
    const int fd = OpenRegularAt(Fd(handle_), Native(name), O_RDONLY | O_NOFOLLOW, Shown(name), refusal);
    if (fd < 0) return std::nullopt;
    File file(fd);
    QByteArray bytes(limit, Qt::Uninitialized);
    const qint64 read = file.Read(bytes.data(), limit);
    if (read < 0) return std::nullopt;
    bytes.truncate(read);
    return bytes;
}

bool Folder::Rename(const QString& from, const QString& to) const {
    return ::renameat(Fd(handle_), Native(from).constData(), Fd(handle_), Native(to).constData()) == 0;
}

// In one step that fails (EEXIST) when anything at all stands under the name:
// a rename that never replaces; on a file system without one (NFS) a hard
// link, then the first name removed; on one with neither (a FUSE mount of a
// network share) a look just before the rename.
bool Folder::RenameNoReplace(const QString& from, const QString& to) const {
    const QByteArray source = Native(from), target = Native(to);
    const int fd = Fd(handle_);
    if (::renameat2(fd, source.constData(), fd, target.constData(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    if (::linkat(fd, source.constData(), fd, target.constData(), 0) == 0) {
        ::unlinkat(fd, source.constData(), 0);
        return true;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) return false;
    if (Look(to).kind != Entry::Kind::Missing) return errno = EEXIST, false;
    return ::renameat(fd, source.constData(), fd, target.constData()) == 0;
}

bool Folder::Link(const QString& from, const QString& to) const {
    return ::linkat(Fd(handle_), Native(from).constData(), Fd(handle_), Native(to).constData(), 0) == 0;
}

bool Folder::Remove(const QString& name) const { return ::unlinkat(Fd(handle_), Native(name).constData(), 0) == 0; }

bool Folder::Sync() const { return ::fsync(Fd(handle_)) == 0 || errno == EINVAL; }

std::optional<FileId> IdOf(const QString& path) {
    struct stat st {};
    if (::stat(Native(path).constData(), &st) != 0) return std::nullopt;
    return IdOf(st);
}

}  // namespace platform
