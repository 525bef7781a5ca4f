// The spreadsheet program's lock file beside the export: who holds it, and
// whether it is left over. LibreOffice itself writes the lock in the last test.
#include "core/archive/OfficeLock.h"

#include "core/archive/ExportWriter.h"
#include "core/folder/ProgramFolder.h"
#include "support/Calc.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

namespace {

const QString kUser = QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name);
const QString kHost = QSysInfo::machineHostName();

class OfficeLock : public ::testing::Test {
protected:
    void WriteFile(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QTemporaryDir dir;
    const QString document = dir.filePath(QStringLiteral("Archivio_Dati.xls"));
    const QString lock = dir.filePath(QStringLiteral(".~lock.Archivio_Dati.xls#"));
};

// A process of this user with the document open, as the spreadsheet program
// keeps it.
class Holding {
public:
    explicit Holding(const QString& document) {
        process_.start(QStringLiteral("sh"), {"-c", "exec 3<\"$0\"; echo open; exec sleep 600", document});
        process_.waitForReadyRead();
    }
    ~Holding() {
        process_.kill();
        process_.waitForFinished();
    }

private:
    QProcess process_;
};

TEST_F(OfficeLock, TellsWhoHoldsTheDocumentAndWhetherTheLockIsLeftOver) {
    using office_lock::State;
    const QByteArray here = "," + kUser.toLocal8Bit() + "," + kHost.toLocal8Bit() + ",11.12.2026 05:48,file:///p;";
    struct Case {
        const char* what;
        QByteArray lock;  // null: no lock file
        bool held;        // a process of this user has the document open
        State state;
        QString described;
    };
    const Case cases[] = {
        {"no lock", QByteArray(), false, State::None, "un utente sconosciuto"},
        {"this computer, nothing holds it", here, false, State::Stale,
         kUser + " sul computer " + kHost + " dall'11.12.2026 05:48"},
        {"this computer, held", here, true, State::OpenHere, kUser + " sul computer " + kHost + " dall'11.12.2026 05:48"},
        {"another computer", "Mario Rossi,mario,ufficio-2,10.12.2026 17:02,file:///home/mario/.config/lo;", false,
         State::Unsure, "Mario Rossi (utente mario) sul computer ufficio-2 dal 10.12.2026 17:02"},
        {"another user here", ",qualcuno," + kHost.toLocal8Bit() + ",10.12.2026 17:02,file:///x;", false,
         State::Unsure, "qualcuno sul computer " + kHost + " dal 10.12.2026 17:02"},
        {"escaped separators", "Rossi\\, Mario\\;,mario,ufficio\\\\2,10.12.2026 17:02,u;", false, State::Unsure,
         "Rossi, Mario; (utente mario) sul computer ufficio\\2 dal 10.12.2026 17:02"},
        {"unreadable", "garbage", false, State::Unsure, "un utente sconosciuto"},
        {"empty", "", false, State::Unsure, "un utente sconosciuto"},
    };
    WriteFile(document, "export");
    for (const Case& c : cases) {
        QFile::remove(lock);
        if (!c.lock.isNull()) WriteFile(lock, c.lock);
        std::unique_ptr<Holding> holding;
        if (c.held) holding = std::make_unique<Holding>(document);
        const office_lock::Lock found = office_lock::Inspect(document);
        EXPECT_EQ(found.state, c.state) << c.what;
        EXPECT_EQ(office_lock::Describe(found.holder), c.described) << c.what;
    }
    EXPECT_EQ(office_lock::PathFor(document), lock);
    EXPECT_EQ(office_lock::Remove(document), QString());
    EXPECT_FALSE(QFile::exists(lock));
    EXPECT_EQ(office_lock::Remove(document), QString()) << "a lock already gone is no failure";
}

// LibreOffice opens the export and writes its lock; the export refuses while
// it is open and names its holder, and replaces the file once LibreOffice has
// crashed and left the lock behind.
TEST_F(OfficeLock, ALockLibreOfficeLeftBehindIsRemovedByTheNextExport) {
    const QString soffice = testing_support::CalcProgram();
    if (soffice.isEmpty() || testing_support::DocumentInCalc::Python().isEmpty())
        GTEST_SKIP() << "needs libreoffice-calc-nogui and python3-uno";
    const ProgramFolder folder(dir.path());
    {
        DataRecordFile archive(dir.path());
        archive.Close();
    }
    spreadsheet_export::ExportArchive(folder, document);
    const QByteArray earlier = [&] {
        QFile f(document);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    testing_support::DocumentInCalc calc(soffice, document);
    ASSERT_TRUE(calc.Opened());
    office_lock::Lock found = office_lock::Inspect(document);
    EXPECT_EQ(found.state, office_lock::State::OpenHere);
    EXPECT_EQ(found.holder.user, kUser);
    EXPECT_EQ(found.holder.host.toLower(), kHost.toLower());
    EXPECT_FALSE(found.holder.since.isEmpty());
    try {
        spreadsheet_export::ExportArchive(folder, document);
        ADD_FAILURE() << "exported over a file open in LibreOffice";
    } catch (const FileError& error) {
        EXPECT_EQ(QString::fromStdString(error.what()),
                  document + " è aperto da " + office_lock::Describe(found.holder));
    }
    EXPECT_TRUE(QFile::exists(lock));

    calc.Crash();
    EXPECT_TRUE(QFile::exists(lock)) << "a crash leaves the lock";
    EXPECT_EQ(office_lock::Inspect(document).state, office_lock::State::Stale);
    QFile::remove(document);
    spreadsheet_export::ExportArchive(folder, document);
    EXPECT_FALSE(QFile::exists(lock));
    QFile written(document);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), earlier);
}

}  // namespace
