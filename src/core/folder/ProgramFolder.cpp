#include "core/folder/ProgramFolder.h"

#include "core/folder/FileAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>
#include <utility>

#include <sys/stat.h>

ProgramFolder::ProgramFolder(QString path) : path_(QDir::cleanPath(std::move(path))) {}

ProgramFolder ProgramFolder::OfExecutable() {
    return ProgramFolder(QCoreApplication::applicationDirPath());
}

QString ProgramFolder::File(const QString& name) const {
    return path_ + QLatin1Char('/') + name;
}

namespace {

// A file's device and inode.
using Identity = std::pair<dev_t, ino_t>;

std::optional<Identity> IdentityOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return std::nullopt;
    return Identity{st.st_dev, st.st_ino};
}

}  // namespace

std::optional<ProgramFolder::Place> ProgramFolder::PlaceOf(const QString& output) const {
    const std::optional<Identity> folder = IdentityOf(path_);
    if (!folder) return std::nullopt;
    const QFileInfo file = FollowLinks(output);
    // The folders that hold the file, up to the root.
    const QString parent = QFileInfo(file.absolutePath()).canonicalFilePath();
    for (QString above = parent; !above.isEmpty(); above = above == QLatin1String("/") ? QString() : QFileInfo(above).path())
        if (IdentityOf(above) == folder)
            return Place{QDir(above).relativeFilePath(parent + QLatin1Char('/') + file.fileName()), above == parent};
    return std::nullopt;
}

QString ProgramFolder::WriteRefusal(const QString& output, const QString& allowed) const {
    const std::optional<Place> place = PlaceOf(output);
    if (!place || (place->top && !allowed.isEmpty() && place->name == allowed)) return {};
    return QStringLiteral("%1 è nella cartella del programma (%2): non viene scritto").arg(output, place->name);
}

QString ProgramFolder::ReplaceRefusal(const QString& output) const {
    const std::optional<Place> place = PlaceOf(output);
    if (!place || !QFileInfo::exists(File(place->name)) ||
        (place->top && place->name.endsWith(QLatin1String(".prn"), Qt::CaseInsensitive)))
        return {};
    return QStringLiteral("%1 è un file della cartella del programma (%2): non viene sovrascritto").arg(output, place->name);
}
