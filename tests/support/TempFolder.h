#pragma once
#include "core/folder/ProgramFolder.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace testing_support {

// A fresh, empty program folder that disappears with the object.
class TempFolder {
public:
    TempFolder();
    const QString& Path() const { return path_; }
    ProgramFolder Folder() const { return ProgramFolder(path_); }
    QString File(const QString& name) const { return path_ + QLatin1Char('/') + name; }
    QByteArray Read(const QString& name) const;
    void Write(const QString& name, const QByteArray& bytes) const;

private:
    QTemporaryDir dir_;
    QString path_;
};

// A file named `name` in a fresh folder of its own, outside every program
// folder (where the batch writes no document), kept until the tests end.
QString OutsideFile(const QString& name);

}  // namespace testing_support
