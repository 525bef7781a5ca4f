// The import and the export against a disk that fails: every write, pwrite,
// fdatasync, fsync, close, ftruncate, rename and unlink that the batch makes
// on the archive, its journal or the export fails in turn (through the
// LD_PRELOAD shim of support/faults), in a run of its own. After each, the
// files hold either what they held or all of the new, and the exit status and
// the message say which.
#include "core/archive/DataRecord.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using testing_support::TempFolder;

const QString kArchive = QStringLiteral("Archivio_Dati.pro");
const QString kExport = QStringLiteral("Archivio_Dati.xls");
const char* const kCalls[] = {"write", "pwrite", "fdatasync", "fsync", "close", "ftruncate", "rename", "unlink"};

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

TEST(FailingDisk, AnImportAddsAllItsRowsOrNoneAndSaysWhich) {
    const QStringList names = {"Nuovo1", "Nuovo2", "Nuovo3", "Nuovo4", "Nuovo5"};
    QByteArray old, added;
    for (const char* name : {"Vecchio1", "Vecchio2", "Vecchio3"}) old += Record(QLatin1String(name));
    for (const QString& name : names) added += Record(name);
    QByteArray csv = "Nome;Rigo 1\n";
    for (const QString& name : names) csv += name.toUtf8() + ";Via " + name.toUtf8() + "\n";

    for (const char* call : kCalls) {
        for (int n = 1;; ++n) {
            SCOPED_TRACE(std::string(call) + " #" + std::to_string(n));
            TempFolder folder;
            folder.Write(kArchive, old);
            folder.Write(QStringLiteral("nuovi.csv"), csv);
            folder.Write(QStringLiteral("uno.csv"), "Nome;Rigo 1\nUltimo;Via Ultimo\n");
            const FailedRun run = RunFailing({"--folder", folder.Path(), "import", folder.File(QStringLiteral("nuovi.csv"))},
                                       call, n, kArchive);
            if (run.matched < n) {
                EXPECT_EQ(run.status, 0) << run.err.toStdString();
                break;
            }
            // The next import, with nothing failing, puts its row right after
            // what the failed one committed, and the bytes tell what that was.
            ASSERT_EQ(RunFailing({"--folder", folder.Path(), "import", folder.File(QStringLiteral("uno.csv"))}, call,
                                 0, kArchive).status, 0);
            const QByteArray archive = folder.Read(kArchive);
            const bool committed = archive == old + added + Record(QStringLiteral("Ultimo"));
            EXPECT_TRUE(committed || archive == old + Record(QStringLiteral("Ultimo")))
                << "the archive holds " << archive.size() / sizeof(DataRecord) << " records";
            EXPECT_FALSE(QFile::exists(folder.File(kArchive + QStringLiteral(".journal"))));
            if (committed) {
                EXPECT_EQ(run.status, 0) << run.err.toStdString();
                EXPECT_TRUE(run.err.isEmpty() || (run.err.contains(QLatin1String("avviso")) && SaysWhatFailed(run.err, kArchive)))
                    << run.err.toStdString();
            } else {
                EXPECT_EQ(run.status, 1);
                EXPECT_TRUE(SaysWhatFailed(run.err, kArchive)) << run.err.toStdString();
            }
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

    for (const char* call : kCalls) {
        for (int n = 1;; ++n) {
            SCOPED_TRACE(std::string(call) + " #" + std::to_string(n));
            TempFolder folder;
            folder.Write(kArchive, source.Read(kArchive));
            folder.Write(kExport, "l'esportazione di prima");
            const FailedRun run = RunFailing({"--folder", folder.Path(), "export"}, call, n, kExport);
            if (run.matched < n) {
                EXPECT_EQ(run.status, 0) << run.err.toStdString();
                break;
            }
            const QByteArray exported = folder.Read(kExport);
            EXPECT_TRUE(exported == fresh || exported == "l'esportazione di prima");
            EXPECT_EQ(QDir(folder.Path()).entryList(QDir::Files | QDir::Hidden), QStringList({kArchive, kExport}));
            if (exported == fresh) {
                EXPECT_EQ(run.status, 0) << run.err.toStdString();
            } else {
                EXPECT_EQ(run.status, 1);
                EXPECT_TRUE(SaysWhatFailed(run.err, kExport)) << run.err.toStdString();
            }
        }
    }
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

    QProcessEnvironment env = ShimEnvironment();
    env.insert(QStringLiteral("VELMORA_NO_LOCKS"), QStringLiteral("1"));
    env.insert(QStringLiteral("VELMORA_FAIL_MATCH"), kArchive);
    const auto start = [&](QProcess& tool, const char* host, const QString& csvName) {
        tool.setProcessEnvironment(env);
        tool.start(QStringLiteral("unshare"),
                   {"--uts", "sh", "-c", QStringLiteral("hostname %1 && exec \"$0\" \"$@\"").arg(QLatin1String(host)),
                    QStringLiteral(VELMORA_BATCH), "--folder", folder.Path(), "import", folder.File(csvName)});
    };
    QProcess big;
    start(big, "ufficio", QStringLiteral("grande.csv"));
    // Until the big import holds the lock file.
    while (!QFile::exists(folder.File(kArchive + QStringLiteral(".lock"))) && !big.waitForFinished(10)) {}
    if (big.state() == QProcess::NotRunning && big.exitCode() != 0)
        GTEST_SKIP() << "no host name of its own for a process (needs root): " << big.readAllStandardError().toStdString();
    std::vector<bool> added;
    for (int i = 0; i < kSmall; ++i) {
        QProcess small;
        start(small, "magazzino", QStringLiteral("piccolo%1.csv").arg(i));
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

}  // namespace
