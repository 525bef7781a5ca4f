#include "core/archive/Journal.h"

#include "core/archive/FileError.h"
#include "core/folder/FileAccess.h"

#include <QList>

#include <cerrno>

namespace {

// The journal's one line: "velmora-journal SIZE CHECK\n", CHECK the hash of
// the last whole record before SIZE (0 for an empty archive). The check is
// written for the copies of the program that judge a journal by it (one whose
// record was rewritten since is not theirs); the write lock makes that needless
// here, since nobody writes while a journal stands without cutting back first.
constexpr char kTag[] = "velmora-journal";

}  // namespace

Journal::Journal(const platform::Folder& folder, const QString& archive)
    : folder_(folder), name_(archive + QStringLiteral(".journal")) {}

std::optional<qint64> Journal::CommittedSize() const {
    QString refusal;
    const std::optional<QByteArray> line = folder_.ReadSmall(name_, 128, refusal);
    if (!refusal.isEmpty()) throw FileError(refusal.toStdString());
    if (!line) {
        if (errno == ENOENT) return std::nullopt;
        throw FileFailure("leggere", folder_.Shown(name_), SystemReason(errno));
    }
    const QList<QByteArray> parts = line->trimmed().split(' ');
    bool sizeRead = false, checkRead = false;
    const long long size = parts.size() == 3 ? parts[1].toLongLong(&sizeRead) : 0;
    if (parts.size() == 3) parts[2].toULongLong(&checkRead);
    if (parts.size() != 3 || parts[0] != kTag || !sizeRead || !checkRead || size < 0) return std::nullopt;
    return size;
}

void Journal::Write(qint64 size, unsigned long long check) {
    const QByteArray line =
        QByteArray(kTag) + ' ' + QByteArray::number(size) + ' ' + QByteArray::number(check) + '\n';
    platform::File file = folder_.CreateNew(name_);
    const bool written = file.IsOpen() && file.Write(line.constData(), line.size()) && file.Sync();
    const int error = errno;
    if ((file.IsOpen() && !file.Close()) || !written) {
        const int reason = written ? errno : error;
        folder_.Remove(name_);
        throw FileFailure("scrivere", folder_.Shown(name_), SystemReason(reason));
    }
    if (!folder_.Sync()) throw FileFailure("scrivere", folder_.Shown(name_), SystemReason(errno));
}

void Journal::Remove() {
    if (!folder_.Remove(name_)) {
        if (errno == ENOENT) return;  // none to remove
        throw FileFailure("eliminare", folder_.Shown(name_), SystemReason(errno));
    }
    if (!folder_.Sync()) throw FileFailure("scrivere", folder_.Shown(name_), SystemReason(errno));
}

unsigned long long Journal::Check(const char* bytes, std::size_t size) {
    unsigned long long hash = 14695981039346656037ULL;
    for (std::size_t i = 0; i < size; ++i) hash = (hash ^ static_cast<unsigned char>(bytes[i])) * 1099511628211ULL;
    return hash;
}
