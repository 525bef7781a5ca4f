#include "support/PrivateCups.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <cups/cups.h>
#include <signal.h>
#include <sys/prctl.h>

namespace testing_support {
namespace {

constexpr int kCommandTimeoutMs = 15000;

bool WriteFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

}  // namespace

PrivateCups::PrivateCups(Queue queue) {
    ready_ = Start();
    if (ready_ && queue == Queue::Pdf) {
        ready_ = AddQueue(QString::fromLatin1(kPrinter)) &&
                 Run(QStringLiteral("lpadmin"), {QStringLiteral("-d"), QString::fromLatin1(kPrinter)});
    }
}

PrivateCups::~PrivateCups() { Stop(); }

bool PrivateCups::AddQueue(const QString& name) const {
    return Run(QStringLiteral("lpadmin"),
               {QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
                QStringLiteral("file://") + OutputFile(name), QStringLiteral("-m"),
                QStringLiteral("lsb/usr/cupsfilters/Generic-PDF_Printer-PDF.ppd")});
}

bool PrivateCups::RemoveQueue(const QString& name) const {
    return Run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), name});
}

int PrivateCups::JobCount() const {
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    cupsFreeJobs(count, jobs);
    return count;
}

QString PrivateCups::OutputFile() const { return OutputFile(QString::fromLatin1(kPrinter)); }
QString PrivateCups::OutputFile(const QString& queue) const { return dir_.filePath(queue + QStringLiteral(".pdf")); }
QString PrivateCups::Socket() const { return dir_.filePath(QStringLiteral("cups.sock")); }

bool PrivateCups::Start() {
    if (!dir_.isValid()) {
        error_ = QStringLiteral("no temporary folder");
        return false;
    }
    const QString root = dir_.path();
    // cupsd runs its filters as lp: they must reach the folder.
    QFile::setPermissions(root, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                    QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                    QFileDevice::ExeOther);
    for (const char* sub : {"cache", "state", "spool", "log", "ppd"}) QDir(root).mkdir(QString::fromLatin1(sub));
    QFile::setPermissions(dir_.filePath(QStringLiteral("spool")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                              QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                              QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
    const QByteArray r = root.toUtf8();
    const QByteArray cupsd = "Listen " + r + "/cups.sock\n"
                             "LogLevel warn\n"
                             "Browsing No\n"
                             "WebInterface No\n"
                             "DefaultAuthType None\n"
                             "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                             "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n";
    const QByteArray files = "User lp\nGroup lp\nSystemGroup root\nFileDevice Yes\n"
                             "ServerRoot " + r + "\nCacheDir " + r + "/cache\nStateDir " + r + "/state\n"
                             "RequestRoot " + r + "/spool\nTempDir " + r + "/spool\n"
                             "ErrorLog " + r + "/log/error_log\nAccessLog " + r + "/log/access_log\n"
                             "PageLog " + r + "/log/page_log\n"
                             "ServerBin /usr/lib/cups\nDataDir /usr/share/cups\n";
    if (!WriteFile(dir_.filePath(QStringLiteral("cupsd.conf")), cupsd) ||
        !WriteFile(dir_.filePath(QStringLiteral("cups-files.conf")), files)) {
        error_ = QStringLiteral("cannot write the configuration");
        return false;
    }
    qputenv("CUPS_SERVER", Socket().toUtf8());
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");

    cupsd_ = std::make_unique<QProcess>();
    cupsd_->setProcessChannelMode(QProcess::MergedChannels);
    // Should the test program die, the scheduler goes with it.
    cupsd_->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    cupsd_->start(QStringLiteral("/usr/sbin/cupsd"),
                  {QStringLiteral("-f"), QStringLiteral("-c"), dir_.filePath(QStringLiteral("cupsd.conf")),
                   QStringLiteral("-s"), dir_.filePath(QStringLiteral("cups-files.conf"))});
    if (!cupsd_->waitForStarted(kCommandTimeoutMs)) {
        error_ = QStringLiteral("cupsd did not start: ") + cupsd_->errorString();
        return false;
    }
    // Up when the scheduler answers on its socket.
    const QDeadlineTimer deadline(kCommandTimeoutMs);
    while (!deadline.hasExpired()) {
        if (cupsd_->state() != QProcess::Running) {
            error_ = QStringLiteral("cupsd stopped: ") + QString::fromLocal8Bit(cupsd_->readAll());
            return false;
        }
        if (QFileInfo::exists(Socket()) && Run(QStringLiteral("lpstat"), {QStringLiteral("-r")})) return true;
        QThread::msleep(50);
    }
    error_ = QStringLiteral("cupsd did not answer");
    return false;
}

void PrivateCups::Stop() {
    if (!cupsd_ || cupsd_->state() == QProcess::NotRunning) return;
    cupsd_->terminate();
    if (!cupsd_->waitForFinished(5000)) {
        cupsd_->kill();
        cupsd_->waitForFinished(5000);
    }
}

bool PrivateCups::Run(const QString& program, const QStringList& arguments, QByteArray* output) const {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(kCommandTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    const QByteArray text = process.readAll();
    if (output) *output = text;
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool PrivateCups::WaitForJobs(int jobs, int timeoutMs) const {
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QByteArray pending, completed;
        if (Run(QStringLiteral("lpstat"), {QStringLiteral("-o"), QString::fromLatin1(kPrinter)}, &pending) &&
            pending.trimmed().isEmpty() &&
            Run(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("completed"), QStringLiteral("-o"),
                                           QString::fromLatin1(kPrinter)},
                &completed) &&
            completed.count('\n') >= jobs) {
            return true;
        }
        QThread::msleep(100);
    }
    return false;
}

QByteArray PrivateCups::ReadOutput() const {
    QFile file(OutputFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace testing_support
