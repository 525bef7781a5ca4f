#include "support/Calc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

QString CalcProgram() { return QStandardPaths::findExecutable(QStringLiteral("soffice")); }

QString ConvertToCsv(const QString& soffice, const QString& spreadsheet, const QString& outdir, char separator) {
    QTemporaryDir profile;
    QProcess office;
    // Italian, as the program's users: "12,50" and "1.234,5" are numbers to it.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("it_IT.UTF-8"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("it_IT.UTF-8"));
    office.setProcessEnvironment(environment);
    // The filter's options: separator, quote, UTF-8 (76), from line 1, no
    // column formats, the language of the system (0), every text cell quoted.
    office.start(soffice, {"-env:UserInstallation=" + QUrl::fromLocalFile(profile.path()).toString(), "--headless",
                           "--convert-to",
                           QStringLiteral("csv:Text - txt - csv (StarCalc):%1,34,76,1,,0,true").arg(int(separator)),
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

QString DocumentInCalc::Python() {
    const QString python = QStringLiteral("/usr/bin/python3");
    return QProcess::execute(python, {"-c", "import uno"}) == 0 ? python : QString();
}

DocumentInCalc::DocumentInCalc(const QString& soffice, const QString& document) {
    const QString pipe = QStringLiteral("velmora-test-%1").arg(::getpid());
    // Its own process group, so that a crash takes every process it starts.
    office_.setChildProcessModifier([] { ::setsid(); });
    office_.start(soffice, {"-env:UserInstallation=" + QUrl::fromLocalFile(profile_.path()).toString(), "--headless",
                            "--norestore", "--nologo", "--accept=pipe,name=" + pipe + ";urp;"});
    if (!office_.waitForStarted()) {
        ADD_FAILURE() << "soffice did not start";
        return;
    }
    QProcess open;
    open.start(Python(), {QStringLiteral(VELMORA_OPEN_IN_OFFICE), document, pipe});
    opened_ = open.waitForFinished(300000) && open.exitCode() == 0 &&
              open.readAllStandardOutput().trimmed() == "opened";
    if (!opened_) ADD_FAILURE() << "LibreOffice did not open " << document.toStdString() << ": "
                                << open.readAllStandardError().toStdString();
}

namespace {

// Whether a process of the group is still alive (a zombie has let go of its
// files); /proc/PID/stat gives its state third and its group fifth.
bool GroupAlive(pid_t group) {
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly)) continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields[2].toLongLong() == group && fields[0] != "Z") return true;
    }
    return false;
}

}  // namespace

void DocumentInCalc::Crash() {
    if (office_.state() == QProcess::NotRunning) return;
    const auto group = static_cast<pid_t>(office_.processId());
    ::kill(-group, SIGKILL);
    office_.waitForFinished();
    // Its children die on their own time; until then they hold their files.
    for (int i = 0; i < 200 && GroupAlive(group); ++i) QThread::msleep(50);
}

DocumentInCalc::~DocumentInCalc() { Crash(); }

std::vector<CsvRow> ReadCsv(const QString& path, char separator) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    const QString text = QString::fromUtf8(file.readAll());
    std::vector<CsvRow> rows;
    CsvRow row;
    CsvField field;
    bool inQuotes = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field.text += u'"';
                ++i;
            } else if (c == u'"') {
                inQuotes = false;
            } else {
                field.text += c;
            }
        } else if (c == u'"') {
            inQuotes = field.quoted = true;
        } else if (c == QLatin1Char(separator)) {
            row.push_back(std::exchange(field, {}));
        } else if (c == u'\n') {
            row.push_back(std::exchange(field, {}));
            rows.push_back(std::exchange(row, {}));
        } else if (c != u'\r') {
            field.text += c;
        }
    }
    if (!field.text.isEmpty() || field.quoted || !row.empty()) {
        row.push_back(field);
        rows.push_back(row);
    }
    return rows;
}

QStringList Texts(const CsvRow& row) {
    QStringList texts;
    for (const CsvField& field : row) texts << field.text;
    return texts;
}

const QStringList& TypedTexts() {
    static const QStringList texts = {
        "=1+1",
        "=== IMPORTANTE ===",
        "=HYPERLINK(\"http://x\";\"y\")",
        "+1+1",
        "-2+3",
        "@SOMMA(1;2)",
        "00144",
        "+39 06 1234 5678",
        "1/2",
        "12-03",
        "01/02/2024",
        "1e5",
        "12,50",
        "1.234,5",
        "3%",
        "€ 5",
        "TRUE",
        "VERO",
        "'apice",
        "a\tb",
        "Via  Roma   1",
        "&<>",
        "<b>grassetto</b> &amp;",
        "àèéìòù ÀÈÉÌÒÙ",
    };
    return texts;
}

QString CalcShows(QString text) { return text.replace(u'\t', u' '); }

}  // namespace testing_support
