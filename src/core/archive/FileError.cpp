#include "core/archive/FileError.h"

FileError FileFailure(const char* doing, const QString& file, const QString& reason) {
    return FileError(QStringLiteral("Impossibile %1 %2: %3").arg(QLatin1String(doing), file, reason).toStdString());
}
