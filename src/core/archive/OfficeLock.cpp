#include "core/archive/OfficeLock.h"

#include "core/archive/FileError.h"
#include "core/folder/FileAccess.h"
#include "core/folder/TextRules.h"
#include "core/platform/Files.h"
#include "core/platform/Process.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QSysInfo>

#include <cerrno>

namespace office_lock {
namespace {

// The fields of the lock's first entry: separated by commas, the entry ended
// by a semicolon, a backslash taking the next character as it stands.
QStringList Fields(const QString& text) {
    QStringList fields{QString()};
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < text.size()) {
            fields.back() += text[++i];
        } else if (c == u',') {
            fields.append(QString());
        } else if (c == u';') {
            break;
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

}  // namespace

QString PathFor(const QString& document) {
    const QFileInfo info(document);
    return info.dir().filePath(QStringLiteral(".~lock.") + info.fileName() + QLatin1Char('#'));
}

Lock Inspect(const QString& document) {
    Lock lock;
    const QFileInfo info(PathFor(document));
    const platform::Folder folder = platform::Folder::Open(info.path());
    if (folder.Look(info.fileName()).kind == platform::Entry::Kind::Missing) return lock;
    lock.state = State::Unsure;
    // A lock file is a line; more is not one.
    QString refusal;
    const std::optional<QByteArray> line = folder.ReadSmall(info.fileName(), 4096, refusal);
    if (!refusal.isEmpty()) throw FileError(refusal.toStdString());
    if (!line) return lock;
    const QStringList fields = Fields(QString::fromUtf8(*line));
    if (fields.size() < 4) return lock;
    lock.holder = {fields[0].trimmed(), fields[1].trimmed(), fields[2].trimmed(), fields[3].trimmed()};
    if (lock.holder.host.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) != 0 ||
        lock.holder.user != platform::UserName())
        return lock;
    lock.state = platform::OpenByAnotherProcess(document) ? State::OpenHere : State::Stale;
    return lock;
}

QString Describe(const Holder& holder) {
    QStringList parts;
    if (!holder.name.isEmpty() && !holder.user.isEmpty() && holder.name != holder.user)
        parts << QStringLiteral("%1 (utente %2)").arg(holder.name, holder.user);
    else if (!holder.user.isEmpty())
        parts << holder.user;
    else if (!holder.name.isEmpty())
        parts << holder.name;
    else
        parts << QStringLiteral("un utente sconosciuto");
    if (!holder.host.isEmpty()) parts << QStringLiteral("sul computer %1").arg(holder.host);
    if (!holder.since.isEmpty()) parts << WithDal(holder.since);
    return parts.join(QLatin1Char(' '));
}

QString Remove(const QString& document) {
    const QFileInfo info(PathFor(document));
    const platform::Folder folder = platform::Folder::Open(info.path());
    if ((folder.IsOpen() && folder.Remove(info.fileName())) || errno == ENOENT) return {};
    return SystemReason(errno);
}

}  // namespace office_lock
