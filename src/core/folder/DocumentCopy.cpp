#include "core/folder/DocumentCopy.h"

#include "core/folder/FileAccess.h"
#include "core/folder/TempFiles.h"

#include <QByteArray>

#include <cerrno>

namespace {
constexpr qsizetype kPiece = qsizetype(1) << 20;
}  // namespace

DocumentCopy::DocumentCopy(const QString& source, const QString& parent, const QString& folder, const QString& name)
    : name_(name) {
    source_ = platform::File::OpenRegular(source, platform::File::Access::Read, reason_);
    if (!reason_.isEmpty()) {
        place_ = Place::Refused;
        return;
    }
    const std::optional<qint64> size = source_.IsOpen() ? source_.Size() : std::nullopt;
    const std::optional<platform::FileId> id = source_.IsOpen() ? source_.Id() : std::nullopt;
    if (!size || !id || !IsBareName(name)) return;
    size_ = *size;
    folder_ = platform::Folder::Open(parent).Sub(folder);
    if (!folder_.IsOpen()) {
        if (errno == ELOOP) {
            place_ = Place::Link;
            reason_ = parent + QLatin1Char('/') + folder;
        }
        return;
    }
    using Kind = platform::Entry::Kind;
    const platform::Entry standing = folder_.Look(name);
    if (standing.kind == Kind::Missing) {
        if (errno == ENOENT) place_ = Place::Free;
    } else if (standing.kind == Kind::Link) {
        place_ = Place::Link;
        reason_ = folder_.Shown(name);
    } else {
        place_ = standing.id == *id ? Place::Source : Place::Taken;
    }
}

DocumentCopy::~DocumentCopy() = default;

DocumentCopy::Outcome DocumentCopy::Run(const Progress& progress) {
    if (place_ != Place::Free && place_ != Place::Taken) return Outcome::Failed;
    ReplacingFile out(folder_, name_,
                      place_ == Place::Taken ? ReplacingFile::Existing::Replace : ReplacingFile::Existing::Keep);
    if (!out.Open()) return Outcome::Failed;
    QByteArray piece(kPiece, Qt::Uninitialized);
    for (qint64 copied = 0;;) {
        const qint64 read = source_.Read(piece.data(), piece.size());
        if (read < 0) return Outcome::Failed;
        if (read == 0) break;
        if (out.Device().write(piece.constData(), read) != read) return Outcome::Failed;
        copied += read;
        if (progress && !progress(copied)) return Outcome::Cancelled;
        if (read < piece.size()) break;
    }
    return out.Commit() ? Outcome::Done : Outcome::Failed;
}
