#include "core/folder/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <sys/stat.h>

ProgramFolder::ProgramFolder(QString path) : path_(QDir::cleanPath(std::move(path))) {}

ProgramFolder ProgramFolder::OfExecutable() {
    return ProgramFolder(QCoreApplication::applicationDirPath());
}

QString ProgramFolder::File(const QString& name) const {
    return path_ + QLatin1Char('/') + name;
}

QString ProgramFolder::WriteRefusal(const QString& output, const QString& allowed) const {
    struct stat target {};
    if (::stat(QFile::encodeName(output).constData(), &target) != 0) return {};
    QStringList files;
    for (const char* name : kFiles)
        if (QLatin1String(name) != allowed) files << File(QLatin1String(name));
    QDirIterator attachments(File(QLatin1String(kAttachmentsFolder)), QDir::Files | QDir::System | QDir::Hidden,
                             QDirIterator::Subdirectories);
    while (attachments.hasNext()) files << attachments.next();
    for (const QString& file : files) {
        struct stat st {};
        if (::stat(QFile::encodeName(file).constData(), &st) == 0 && st.st_dev == target.st_dev &&
            st.st_ino == target.st_ino)
            return QStringLiteral("%1 è un file della cartella del programma (%2): non viene sovrascritto")
                .arg(output, QDir(path_).relativeFilePath(file));
    }
    return {};
}
