#include "core/folder/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

ProgramFolder::ProgramFolder(QString path) : path_(QDir::cleanPath(std::move(path))) {}

ProgramFolder ProgramFolder::OfExecutable() {
    return ProgramFolder(QCoreApplication::applicationDirPath());
}

QString ProgramFolder::File(const QString& name) const {
    return path_ + QLatin1Char('/') + name;
}
