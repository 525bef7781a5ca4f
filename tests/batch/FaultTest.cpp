// The import and the export against a disk that fails: every call that the
// batch makes to change the archive, its journal or the export (write,
// pwrite, fdatasync, close, ftruncate, an open that creates, rename, unlink,
// in every form the system offers) fails in turn (through the LD_PRELOAD shim
// of support/faults), in a run of its own. After each, the files hold either
// what they held or all of the new, and the exit status and the message say
// which. Each case names the calls its flow makes, and each must meet the
// flow at least once: a row the shim no longer sees fails.
#include "core/archive/DataRecord.h"
#include "support/NeedsRoot.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <functional>
#include <cstring>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

using testing_support::TempFolder;

const QString kArchive = QStringLiteral("Archivio_Dati.pro");
const QString kExport = QStringLiteral("Archivio_Dati.xls");

struct FailedRun {
    int status;
    QString err;
    long matched;  // the calls of the kind that met the files
};

// The environment of a batch run under the shim.
QProcessEnvironment ShimEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LANG"), QStringLiteral("C"));
    env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("C"));
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(VELMORA_FAIL_CALLS));
    return env;
}

// velmora-batch with the given call failing at its n-th meeting with a file
// whose path holds `match` (n = 0: nothing fails).
FailedRun RunFailing(const QStringList& arguments, const char* call, int n, const QString& match) {
    TempFolder scratch;
    QProcess tool;
    QProcessEnvironment env = ShimEnvironment();
    env.insert(QStringLiteral("VELMORA_FAIL_CALL"), QLatin1String(call));
    env.insert(QStringLiteral("VELMORA_FAIL_AT"), QString::number(n));
    env.insert(QStringLiteral("VELMORA_FAIL_MATCH"), match);
    env.insert(QStringLiteral("VELMORA_FAIL_COUNT"), scratch.File(QStringLiteral("count")));
    tool.setProcessEnvironment(env);
    tool.start(QStringLiteral(VELMORA_BATCH), arguments);
    if (!tool.waitForFinished(60000)) ADD_FAILURE() << "the tool did not end";
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
            QString::fromUtf8(tool.readAllStandardError()), scratch.Read(QStringLiteral("count")).trimmed().toLong()};
}

// Whether the message names the file and the reason of the failure the shim
// made.
bool SaysWhatFailed(const QString& err, const QString& file) {
    return err.contains(file) &&
           (err.contains(QLatin1String("Input/output error")) || err.contains(QLatin1String("No space left on device")));
}

QByteArray Record(const QString& name) {
    DataRecord record;
    record.SetText(DataRecord::Nome, name);
    record.SetText(DataRecord::Rigo01, QStringLiteral("Via ") + name);
    QByteArray bytes(sizeof record, '\0');
    std::memcpy(bytes.data(), &record, sizeof record);
    return bytes;
}

// Runs `attempt` with `call` failing at its n-th meeting with the files, for
// n = 1, 2, ... until a run meets it fewer times (the attempt checks each run
// that failed); the call must have been met at least once.
void ForEachMeeting(const char* call, const std::function<FailedRun(int n)>& attempt) {
    for (int n = 1;; ++n) {
        SCOPED_TRACE(std::string(call) + " #" + std::to_string(n));
        const FailedRun run = attempt(n);
        if (run.matched < n) {
            EXPECT_GT(n, 1) << "the flow never made the call";
            EXPECT_EQ(run.status, 0) << run.err.toStdString();
            return;
        }
    }
}

TEST(FailingDisk, AnImportAddsAllItsRowsOrNoneAndSaysWhich) {
    const QStringList names = {"Nuovo1", "Nuovo2", "Nuovo3", "Nuovo4", "Nuovo5"};
    QByteArray old, added;
    for (const char* name : {"Vecchio1", "Vecchio2", "Vecchio3"}) old += Record(QLatin1String(name));
    for (const QString& name : names) added += Record(name);
    QByteArray csv = "Nome;Rigo 1\n";
    for (const QString& name : names) csv += name.toUtf8() + ";Via " + name.toUtf8() + "\n";

    struct Start {
        const char* name;
        bool leftover;  // an import killed before: two of its records and its journal
        std::vector<const char*> calls;
    };
    const Start starts[] = {
        {"a clean archive", false, {"open", "write", "pwrite", "fdatasync", "close", "unlink"}},
        {"after a killed import", true, {"ftruncate", "fdatasync", "unlink"}},
    };
    for (const Start& start : starts) {
        for (const char* call : start.calls) {
            SCOPED_TRACE(start.name);
            ForEachMeeting(call, [&](int n) {
                TempFolder folder;
                folder.Write(kArchive, start.leftover ? old + Record("Ucciso1") + Record("Ucciso2") : old);
                if (start.leftover)
                    folder.Write(kArchive + QStringLiteral(".journal"),
                                 "velmora-journal " + QByteArray::number(old.size()) + " 0\n");
                folder.Write(QStringLiteral("nuovi.csv"), csv);
                folder.Write(QStringLiteral("uno.csv"), "Nome;Rigo 1\nUltimo;Via Ultimo\n");
                const FailedRun run = RunFailing(
                    {"--folder", folder.Path(), "import", folder.File(QStringLiteral("nuovi.csv"))}, call, n, kArchive);
                if (run.matched < n) return run;
                // The next import, with nothing failing, puts its row right after
                // what the failed one committed, and the bytes tell what that was.
                EXPECT_EQ(RunFailing({"--folder", folder.Path(), "import", folder.File(QStringLiteral("uno.csv"))}, call,
                                     0, kArchive).status, 0);
                const QByteArray archive = folder.Read(kArchive);
                const bool committed = archive == old + added + Record(QStringLiteral("Ultimo"));
                EXPECT_TRUE(committed || archive == old + Record(QStringLiteral("Ultimo")))
                    << "the archive holds " << archive.size() / sizeof(DataRecord) << " records";
                EXPECT_FALSE(QFile::exists(folder.File(kArchive + QStringLiteral(".journal"))));
                if (committed) {
                    EXPECT_EQ(run.status, 0) << run.err.toStdString();
                    EXPECT_TRUE(run.err.isEmpty() ||
                                (run.err.contains(QLatin1String("avviso")) && SaysWhatFailed(run.err, kArchive)))
                        << run.err.toStdString();
                } else {
                    EXPECT_EQ(run.status, 1);
                    EXPECT_TRUE(SaysWhatFailed(run.err, kArchive)) << run.err.toStdString();
                }
                return run;
            });
        }
    }
}

TEST(FailingDisk, AnExportReplacesTheOldWholeOrNotAtAllAndSaysWhich) {
    TempFolder source;
    DataRecordFile file(source.Path());
    for (const char* name : {"Uno", "Due", "Tre"}) {
        DataRecord record;
        record.SetText(DataRecord::Nome, QLatin1String(name));
        file.Append(record);
    }
    file.Close();
    ASSERT_EQ(RunFailing({"--folder", source.Path(), "export"}, "write", 0, kExport).status, 0);
    const QByteArray fresh = source.Read(kExport);
    ASSERT_TRUE(fresh.startsWith("<html"));

    for (const char* call : {"open", "write", "fdatasync", "close", "rename"}) {
        ForEachMeeting(call, [&](int n) {
            TempFolder folder;
            folder.Write(kArchive, source.Read(kArchive));
            folder.Write(kExport, "l'esportazione di prima");
            const FailedRun run = RunFailing({"--folder", folder.Path(), "export"}, call, n, kExport);
            if (run.matched < n) return run;
            const QByteArray exported = folder.Read(kExport);
            EXPECT_TRUE(exported == fresh || exported == "l'esportazione di prima");
            EXPECT_EQ(QDir(folder.Path()).entryList(QDir::Files | QDir::Hidden), QStringList({kArchive, kExport}));
            if (exported == fresh) {
                EXPECT_EQ(run.status, 0) << run.err.toStdString();
            } else {
                EXPECT_EQ(run.status, 1);
                EXPECT_TRUE(SaysWhatFailed(run.err, kExport)) << run.err.toStdString();
            }
            return run;
        });
    }
}

// Starts an import of the CSV file `csvName` of the folder into its archive by
// a process posing as the computer `host` (a UTS namespace of its own, which
// needs root), on a file system that keeps no advisory locks.
void ImportAsComputer(QProcess& tool, const char* host, const TempFolder& folder, const QString& csvName) {
    QProcessEnvironment env = ShimEnvironment();
    env.insert(QStringLiteral("VELMORA_NO_LOCKS"), QStringLiteral("1"));
    env.insert(QStringLiteral("VELMORA_FAIL_MATCH"), kArchive);
    tool.setProcessEnvironment(env);
    tool.start(QStringLiteral("unshare"),
               {"--uts", "sh", "-c", QStringLiteral("hostname %1 && exec \"$0\" \"$@\"").arg(QLatin1String(host)),
                QStringLiteral(VELMORA_BATCH), "--folder", folder.Path(), "import", folder.File(csvName)});
}

// Two computers on a network folder that keeps no advisory locks, so that the
// lock file stands in: one imports 300,000 rows, holding the lock file for
// seconds, while the other imports one row at a time, twenty times. Each
// process poses as a computer of its own through a UTS namespace (a host name
// of its own), which needs root. The big import adds all its rows, in order;
// each small one either adds its row once and says so, or waited in vain,
// says the archive is locked and adds nothing.
TEST(LockFile, TwoComputersImportingAtOnceLoseAndDoubleNothing) {
    TempFolder folder;
    constexpr int kBig = 300000, kSmall = 20;
    QByteArray csv = "Nome;Rigo 1\n";
    for (int i = 0; i < kBig; ++i) csv += "Grande" + QByteArray::number(i) + ";Via " + QByteArray::number(i) + "\n";
    folder.Write(QStringLiteral("grande.csv"), csv);
    for (int i = 0; i < kSmall; ++i)
        folder.Write(QStringLiteral("piccolo%1.csv").arg(i), "Nome\nPiccolo" + QByteArray::number(i) + "\n");

    QProcess big;
    ImportAsComputer(big, "ufficio", folder, QStringLiteral("grande.csv"));
    // Until the big import holds the lock file.
    while (!QFile::exists(folder.File(kArchive + QStringLiteral(".lock"))) && !big.waitForFinished(10)) {}
    if (big.state() == QProcess::NotRunning && big.exitCode() != 0)
        SKIP_WITHOUT_ROOT("no host name of its own for a process: " + big.readAllStandardError().toStdString());
    std::vector<bool> added;
    for (int i = 0; i < kSmall; ++i) {
        QProcess small;
        ImportAsComputer(small, "magazzino", folder, QStringLiteral("piccolo%1.csv").arg(i));
        ASSERT_TRUE(small.waitForFinished(60000));
        const QString err = QString::fromUtf8(small.readAllStandardError());
        added.push_back(small.exitCode() == 0);
        if (small.exitCode() != 0) {
            EXPECT_TRUE(err.contains(QLatin1String("bloccato"))) << err.toStdString();
        }
    }
    ASSERT_TRUE(big.waitForFinished(120000));
    EXPECT_EQ(big.exitCode(), 0) << big.readAllStandardError().toStdString();

    DataRecordFile file;
    file.OpenForReading(folder.Path());
    std::vector<QString> names;
    file.ReadMany(file.RecordCount(), [&](const DataRecord& record) { names.push_back(record.Text(DataRecord::Nome)); });
    std::vector<QString> bigNames, smallNames;
    for (const QString& name : names) (name.startsWith(QLatin1String("Grande")) ? bigNames : smallNames).push_back(name);
    ASSERT_EQ(bigNames.size(), std::size_t(kBig)) << "the big import whole";
    for (int i = 0; i < kBig; ++i)
        if (bigNames[std::size_t(i)] != QStringLiteral("Grande%1").arg(i)) FAIL() << "row " << i << " out of place";
    for (int i = 0; i < kSmall; ++i)
        EXPECT_EQ(std::count(smallNames.begin(), smallNames.end(), QStringLiteral("Piccolo%1").arg(i)), added[std::size_t(i)] ? 1 : 0)
            << i;
    EXPECT_EQ(names.size(), bigNames.size() + std::size_t(std::count(added.begin(), added.end(), true)));
}

// Two computers on a network folder that keeps no advisory locks: the import
// of one is stopped (a suspended laptop, a paused virtual machine, a stalled
// share) for longer than a lock file stands unrefreshed, so the other takes
// the lock over, cuts back what the stopped one had written, imports its own
// rows and commits them. When the first resumes, its lock is no longer its
// own: it writes and cuts back nothing more, and fails saying why. Every row
// the other committed stays, once. Each process poses as a computer of its
// own through a UTS namespace, which needs root.
TEST(LockFile, AnImportPausedPastTheStalenessNeverTouchesWhatAnotherCommitted) {
    TempFolder folder;
    constexpr int kPaused = 300000, kOther = 5000;
    QByteArray old;
    for (const char* name : {"Vecchio1", "Vecchio2", "Vecchio3"}) old += Record(QLatin1String(name));
    folder.Write(kArchive, old);
    QByteArray paused = "Nome;Rigo 1\n", other = "Nome;Rigo 1\n", otherRecords;
    for (int i = 0; i < kPaused; ++i) paused += "Fermo" + QByteArray::number(i) + ";Via " + QByteArray::number(i) + "\n";
    for (int i = 0; i < kOther; ++i) {
        other += "Altro" + QByteArray::number(i) + ";Via Altro " + QByteArray::number(i) + "\n";
        DataRecord record;
        record.SetText(DataRecord::Nome, QStringLiteral("Altro%1").arg(i));
        record.SetText(DataRecord::Rigo01, QStringLiteral("Via Altro %1").arg(i));
        otherRecords += QByteArray(reinterpret_cast<const char*>(&record), sizeof record);
    }
    folder.Write(QStringLiteral("fermo.csv"), paused);
    folder.Write(QStringLiteral("altro.csv"), other);

    QProcess stopped;
    ImportAsComputer(stopped, "portatile", folder, QStringLiteral("fermo.csv"));
    // Until it has written some of its rows under its journal.
    const QString journal = folder.File(kArchive + QStringLiteral(".journal"));
    while (!(QFile::exists(journal) && QFileInfo(folder.File(kArchive)).size() > old.size() + (1 << 20)) &&
           !stopped.waitForFinished(1)) {}
    if (stopped.state() == QProcess::NotRunning) {
        if (stopped.exitCode() != 0)
            SKIP_WITHOUT_ROOT("no host name of its own for a process: " + stopped.readAllStandardError().toStdString());
        FAIL() << "the import ended before it could be stopped";
    }
    ASSERT_EQ(::kill(pid_t(stopped.processId()), SIGSTOP), 0);

    QProcess taker;
    ImportAsComputer(taker, "ufficio", folder, QStringLiteral("altro.csv"));
    ASSERT_TRUE(taker.waitForFinished(60000));
    EXPECT_EQ(taker.exitCode(), 0) << taker.readAllStandardError().toStdString();
    EXPECT_TRUE(QString::fromUtf8(taker.readAllStandardOutput()).contains(QStringLiteral("aggiunte %1").arg(kOther)));

    ASSERT_EQ(::kill(pid_t(stopped.processId()), SIGCONT), 0);
    ASSERT_TRUE(stopped.waitForFinished(60000));
    const QString err = QString::fromUtf8(stopped.readAllStandardError());
    EXPECT_EQ(stopped.exitCode(), 1) << err.toStdString();
    EXPECT_TRUE(err.contains(kArchive) && err.contains(QLatin1String("blocco"))) << err.toStdString();

    const QByteArray archive = folder.Read(kArchive);
    EXPECT_EQ(archive.size(), old.size() + otherRecords.size()) << archive.size() / sizeof(DataRecord) << " records";
    EXPECT_TRUE(archive == old + otherRecords) << "the old records, then the other computer's, whole";
    EXPECT_FALSE(QFile::exists(journal));
    EXPECT_FALSE(QFile::exists(folder.File(kArchive + QStringLiteral(".lock"))));
}

// A link swapped in and out under the name of an output, or of its folder, as
// fast as a thread can, while the batch exports or writes a PDF there again
// and again: the output is checked against the program folder in the very folder it is then
// written into, so whatever stands there at the moment the folder is opened,
// nothing lands in the program folder and the archive stays as it was.
TEST(Output, ALinkSwappedInDuringTheRunRedirectsNothing) {
    TempFolder program, out;
    DataRecordFile file(program.Path());
    for (const char* name : {"Uno", "Due", "Tre"}) {
        DataRecord record;
        record.SetText(DataRecord::Nome, QLatin1String(name));
        file.Append(record);
    }
    file.Close();
    const QByteArray archive = program.Read(kArchive);
    const QStringList entries = QDir(program.Path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    const QByteArray target = QFile::encodeName(program.File(kArchive)), folderTarget = QFile::encodeName(program.Path());
    const QByteArray file1 = QFile::encodeName(out.File(QStringLiteral("uscita")));
    const QByteArray sub = QFile::encodeName(out.File(QStringLiteral("sotto"))), subAside = sub + ".vera";
    ASSERT_TRUE(QDir().mkdir(QString::fromUtf8(sub)));

    std::atomic<bool> stop{false};
    std::thread swapper([&] {
        while (!stop) {
            ::unlink(file1.constData());
            const int fd = ::open(file1.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd >= 0) ::close(fd);
            ::unlink(file1.constData());
            ::symlink(target.constData(), file1.constData());
            ::rename(sub.constData(), subAside.constData());
            ::symlink(folderTarget.constData(), sub.constData());
            ::unlink(sub.constData());
            ::rename(subAside.constData(), sub.constData());
        }
    });
    constexpr int kRuns = 100;
    int written = 0;
    const QStringList runs[] = {
        {"--folder", program.Path(), "export", QString::fromUtf8(file1)},
        {"--folder", program.Path(), "export", QString::fromUtf8(sub) + QStringLiteral("/elenco.xls")},
        {"--folder", program.Path(), "--pdf", QString::fromUtf8(file1), "summary"},
    };
    for (int i = 0; i < kRuns; ++i) {
        for (const QStringList& arguments : runs) {
            QProcess tool;
            tool.start(QStringLiteral(VELMORA_BATCH), arguments);
            ASSERT_TRUE(tool.waitForFinished(60000));
            written += tool.exitCode() == 0;
        }
    }
    stop = true;
    swapper.join();
    EXPECT_TRUE(program.Read(kArchive) == archive) << "the archive was written over";
    EXPECT_EQ(QDir(program.Path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), entries);
    EXPECT_GT(written, 0) << "no run found the folder as it should be";
}

}  // namespace
