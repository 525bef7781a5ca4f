// The Windows side of the file layer, as Wine keeps the Windows calls: the
// write lock on a byte beyond the data, which excludes writers but never
// readers, and two copies of the program importing into one archive at once.
#include "core/archive/DataRecord.h"
#include "core/platform/Locks.h"
#include "support/TempFolder.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <map>

using platform::File;
using platform::LockResult;
using testing_support::TempFolder;

TEST(WindowsLock, ExcludesASecondWriterButNoReader) {
    TempFolder folder;
    const QString path = folder.File(QStringLiteral("Archivio_Dati.pro"));
    QString refusal;
    File first = File::OpenRegular(path, File::Access::ReadWriteCreate, refusal);
    File second = File::OpenRegular(path, File::Access::ReadWrite, refusal);
    ASSERT_TRUE(first.IsOpen() && second.IsOpen()) << qPrintable(refusal);

    ASSERT_EQ(platform::TryLockForWriting(first), LockResult::Held);
    EXPECT_EQ(platform::TryLockForWriting(second), LockResult::Busy);
    const QByteArray record(3765, 'x');
    ASSERT_TRUE(first.WriteAt(record.constData(), record.size(), 0));
    QByteArray read(record.size(), '\0');
    EXPECT_EQ(second.ReadAt(read.data(), read.size(), 0), record.size()) << "a reader meets the lock";
    EXPECT_EQ(read, record);

    platform::UnlockForWriting(first);
    EXPECT_EQ(platform::TryLockForWriting(second), LockResult::Held);
    EXPECT_EQ(platform::TryLockForWriting(first), LockResult::Busy);
}

// Round after round, two copies start an import into the same archive at the
// same moment: each round's rows are all there, once each, in their order.
TEST(WindowsAppend, TwoCopiesImportingAtOnceLoseNothing) {
    constexpr int kRounds = 10, kRows = 40;
    TempFolder folder;
    const QStringList copies{QStringLiteral("A"), QStringLiteral("B")};
    for (const QString& copy : copies) {
        QByteArray csv = "Nome,Rigo 1\n";
        for (int row = 0; row < kRows; ++row) csv += QStringLiteral("%1 %2,Via Àncora %2\n").arg(copy).arg(row).toUtf8();
        folder.Write(copy + QStringLiteral(".csv"), csv);
    }
    const QString batch = QStringLiteral(VELMORA_BATCH);
    for (int round = 0; round < kRounds; ++round) {
        std::vector<std::unique_ptr<QProcess>> running;
        for (const QString& copy : copies) {
            auto& process = running.emplace_back(std::make_unique<QProcess>());
            process->start(batch, {QStringLiteral("--folder"), folder.Path(), QStringLiteral("import"),
                                   folder.File(copy + QStringLiteral(".csv"))});
        }
        for (auto& process : running) {
            ASSERT_TRUE(process->waitForFinished(120000)) << qPrintable(batch);
            ASSERT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();
        }
    }

    DataRecordFile archive;
    archive.OpenForReading(folder.Path());
    ASSERT_EQ(archive.RecordCount(), kRounds * 2 * kRows);
    std::map<QString, int> next;  // each copy's rows, round after round, in their order
    DataRecord record;
    for (long long i = 0; i < archive.RecordCount(); ++i) {
        archive.Read(record);
        const QStringList words = record.Text(DataRecord::Nome).split(u' ');
        ASSERT_EQ(words.size(), 2);
        ASSERT_EQ(words[1].toInt(), next[words[0]]++ % kRows) << "record " << i;
        ASSERT_EQ(record.Text(DataRecord::Rigo01), QStringLiteral("Via Àncora ") + words[1]);
    }
    EXPECT_EQ(next[QStringLiteral("A")], kRounds * kRows);
    EXPECT_EQ(next[QStringLiteral("B")], kRounds * kRows);
}
