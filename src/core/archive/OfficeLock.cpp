#include "core/archive/OfficeLock.h"

#include "core/folder/FileAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QSysInfo>

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

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

QString ThisUser() {
    const passwd* entry = ::getpwuid(::geteuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString();
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Whether a process of this user other than this one has the document open:
// each process's open files, as /proc shows them.
bool OpenByAnotherProcess(const QString& document) {
    struct stat target {};
    if (::stat(QFile::encodeName(document).constData(), &target) != 0) return false;
    DIR* processes = ::opendir("/proc");
    if (!processes) return false;
    const uid_t me = ::geteuid();
    const pid_t self = ::getpid();
    bool open = false;
    while (const dirent* process = ::readdir(processes)) {
        char* end = nullptr;
        const long pid = std::strtol(process->d_name, &end, 10);
        if (*end != '\0' || pid <= 0 || pid == self) continue;
        const std::string base = std::string("/proc/") + process->d_name;
        struct stat owner {};
        if (::stat(base.c_str(), &owner) != 0 || owner.st_uid != me) continue;
        DIR* fds = ::opendir((base + "/fd").c_str());
        if (!fds) continue;
        while (const dirent* fd = ::readdir(fds)) {
            struct stat file {};
            if (fd->d_name[0] != '.' && ::stat((base + "/fd/" + fd->d_name).c_str(), &file) == 0 &&
                SameFile(file, target)) {
                open = true;
                break;
            }
        }
        ::closedir(fds);
        if (open) break;
    }
    ::closedir(processes);
    return open;
}

}  // namespace

QString PathFor(const QString& document) {
    const QFileInfo info(document);
    return info.dir().filePath(QStringLiteral(".~lock.") + info.fileName() + QLatin1Char('#'));
}

Lock Inspect(const QString& document) {
    Lock lock;
    QFile file(PathFor(document));
    if (!file.exists()) return lock;
    lock.state = State::Unsure;
    if (!file.open(QIODevice::ReadOnly)) return lock;
    // A lock file is a line; more is not one.
    const QStringList fields = Fields(QString::fromUtf8(file.read(4096)));
    if (fields.size() < 4) return lock;
    lock.holder = {fields[0].trimmed(), fields[1].trimmed(), fields[2].trimmed(), fields[3].trimmed()};
    if (lock.holder.host.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) != 0 ||
        lock.holder.user != ThisUser())
        return lock;
    lock.state = OpenByAnotherProcess(document) ? State::OpenHere : State::Stale;
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
    if (!holder.since.isEmpty()) parts << QStringLiteral("dal %1").arg(holder.since);
    return parts.join(QLatin1Char(' '));
}

QString Remove(const QString& document) {
    if (::unlink(QFile::encodeName(PathFor(document)).constData()) == 0 || errno == ENOENT) return {};
    return SystemReason(errno);
}

}  // namespace office_lock
