#include "support/Calc.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace testing_support {

QString CalcProgram() { return QStandardPaths::findExecutable(QStringLiteral("soffice")); }

QString ConvertToCsv(const QString& soffice, const QString& spreadsheet, const QString& outdir, char separator) {
    QTemporaryDir profile;
    QProcess office;
    office.start(soffice, {"-env:UserInstallation=" + QUrl::fromLocalFile(profile.path()).toString(), "--headless",
                           "--convert-to", QStringLiteral("csv:Text - txt - csv (StarCalc):%1,34,76,1").arg(int(separator)),
                           "--outdir", outdir, spreadsheet});
    if (!office.waitForFinished(300000)) {
        ADD_FAILURE() << "soffice did not finish";
        return {};
    }
    const QString csv = outdir + QLatin1Char('/') + QFileInfo(spreadsheet).completeBaseName() + QStringLiteral(".csv");
    if (!QFileInfo::exists(csv)) {
        ADD_FAILURE() << "soffice wrote no CSV: " << office.readAllStandardOutput().toStdString()
                      << office.readAllStandardError().toStdString();
        return {};
    }
    return csv;
}

}  // namespace testing_support
