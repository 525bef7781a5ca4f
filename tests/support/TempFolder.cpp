#include "support/TempFolder.h"

#include <QFile>

#include <gtest/gtest.h>

#include <deque>

namespace testing_support {

TempFolder::TempFolder() : path_(dir_.path()) {}

QByteArray TempFolder::Read(const QString& name) const {
    QFile file(File(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

void TempFolder::Write(const QString& name, const QByteArray& bytes) const {
    QFile file(File(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        ADD_FAILURE() << "cannot write " << name.toStdString();
        return;
    }
    file.write(bytes);
}

QString OutsideFile(const QString& name) {
    static std::deque<QTemporaryDir> folders;
    return folders.emplace_back().filePath(name);
}

}  // namespace testing_support
