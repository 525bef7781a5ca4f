#include "core/folder/ProgramFolder.h"

#include "core/folder/FileAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <optional>
#include <utility>

ProgramFolder::ProgramFolder(QString path) : path_(QDir::cleanPath(std::move(path))) {}

ProgramFolder ProgramFolder::OfExecutable() {
    return ProgramFolder(QCoreApplication::applicationDirPath());
}

QString ProgramFolder::File(const QString& name) const {
    return path_ + QLatin1Char('/') + name;
}

std::optional<ProgramFolder::Place> ProgramFolder::PlaceOf(const platform::Folder& folder, const QString& name) const {
    const std::optional<platform::FileId> program = platform::IdOf(path_);
    std::optional<platform::FileId> id = folder.Id();
    if (!program || !id) return std::nullopt;
    // The folders that hold the open one, up to the root, by what they are.
    platform::Folder above;
    const platform::Folder* at = &folder;
    for (int depth = 0; depth < 4096; ++depth) {
        if (*id == *program) {
            // Named for the message from the paths as they stand.
            const QString inside = QDir(QFileInfo(path_).canonicalFilePath())
                                       .relativeFilePath(QFileInfo(folder.Path()).canonicalFilePath() +
                                                         QLatin1Char('/') + name);
            return Place{inside.startsWith(QLatin1String("..")) ? name : inside, depth == 0};
        }
        platform::Folder parent = at->Parent();
        const std::optional<platform::FileId> parentId = parent.IsOpen() ? parent.Id() : std::nullopt;
        if (!parentId || *parentId == *id) return std::nullopt;  // the root
        above = std::move(parent);
        at = &above;
        id = parentId;
    }
    return std::nullopt;
}

ReplacingFile::Guard ProgramFolder::WriteGuard(const QString& output, const QString& allowed) const {
    return [this, output, allowed](const platform::Folder& folder, const QString& name) {
        const std::optional<Place> place = PlaceOf(folder, name);
        if (!place || (place->top && !allowed.isEmpty() && place->name == allowed)) return QString();
        return QStringLiteral("%1 è nella cartella del programma (%2): non viene scritto").arg(output, place->name);
    };
}

ReplacingFile::Guard ProgramFolder::ReplaceGuard(const QString& output) const {
    return [this, output](const platform::Folder& folder, const QString& name) {
        const std::optional<Place> place = PlaceOf(folder, name);
        if (!place || folder.Look(name).kind == platform::Entry::Kind::Missing ||
            (place->top && place->name.endsWith(QLatin1String(".prn"), Qt::CaseInsensitive)))
            return QString();
        return QStringLiteral("%1 è un file della cartella del programma (%2): non viene sovrascritto")
            .arg(output, place->name);
    };
}

QString ProgramFolder::Ask(const ReplacingFile::Guard& guard, const QString& output) {
    const QFileInfo file = FollowLinks(output);
    const platform::Folder folder = platform::Folder::Open(file.absolutePath());
    return folder.IsOpen() ? guard(folder, file.fileName()) : QString();
}

QString ProgramFolder::WriteRefusal(const QString& output, const QString& allowed) const {
    return Ask(WriteGuard(output, allowed), output);
}

QString ProgramFolder::ReplaceRefusal(const QString& output) const { return Ask(ReplaceGuard(output), output); }
