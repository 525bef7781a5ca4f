#include "core/folder/DocumentCopy.h"

#include "core/folder/FileAccess.h"
#include "core/folder/TempFiles.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr qsizetype kPiece = qsizetype(1) << 20;
}  // namespace

DocumentCopy::DocumentCopy(const QString& source, const QString& parent, const QString& folder, const QString& name)
    : folderPath_(parent + QLatin1Char('/') + folder), name_(name) {
    source_ = OpenRegularFile(source, O_RDONLY, reason_);
    if (!reason_.isEmpty()) {
        place_ = Place::Refused;
        return;
    }
    struct stat from {};
    if (source_ < 0 || ::fstat(source_, &from) != 0 || !IsBareName(name)) return;
    size_ = from.st_size;
    folder_ = OpenSubfolder(parent, folder);
    if (folder_ < 0) {
        if (errno == ELOOP) {
            place_ = Place::Link;
            reason_ = folderPath_;
        }
        return;
    }
    struct stat standing {};
    if (::fstatat(folder_, QFile::encodeName(name).constData(), &standing, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT) place_ = Place::Free;
    } else if (S_ISLNK(standing.st_mode)) {
        place_ = Place::Link;
        reason_ = folderPath_ + QLatin1Char('/') + name;
    } else {
        const bool same = standing.st_dev == from.st_dev && standing.st_ino == from.st_ino;
        place_ = same ? Place::Source : Place::Taken;
    }
}

DocumentCopy::~DocumentCopy() {
    if (source_ >= 0) ::close(source_);
    if (folder_ >= 0) ::close(folder_);
}

DocumentCopy::Outcome DocumentCopy::Run(const Progress& progress) {
    if (place_ != Place::Free && place_ != Place::Taken) return Outcome::Failed;
    ReplacingFile out(folder_, folderPath_, name_,
                      place_ == Place::Taken ? ReplacingFile::Existing::Replace : ReplacingFile::Existing::Keep);
    if (!out.Open()) return Outcome::Failed;
    QByteArray piece(kPiece, Qt::Uninitialized);
    for (qint64 copied = 0;;) {
        const ssize_t read = ::read(source_, piece.data(), size_t(piece.size()));
        if (read < 0 && errno == EINTR) continue;
        if (read < 0) return Outcome::Failed;
        if (read == 0) break;
        if (out.Device().write(piece.constData(), read) != read) return Outcome::Failed;
        copied += read;
        if (progress && !progress(copied)) return Outcome::Cancelled;
    }
    return out.Commit() ? Outcome::Done : Outcome::Failed;
}
