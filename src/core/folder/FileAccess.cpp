#include "core/folder/FileAccess.h"

#include <cstring>

bool IsBareName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

QString SystemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QFileInfo FollowLinks(const QString& path) {
    QFileInfo file(path);
    for (int depth = 0; depth < 40 && file.isSymLink(); ++depth) file.setFile(file.symLinkTarget());
    return file;
}
