// CSV files made to hurt the import: whatever their shape, the read holds a
// small multiple of the file and returns, and running out of memory is told
// with the file and the line. Each file is read by a process of its own whose
// address space is limited (velmora-import-child), so that a read that would
// take too much fails there.
#include "support/TempFolder.h"

#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

using testing_support::TempFolder;

namespace {

struct Told {
    int status = -1;  // 2 when std::bad_alloc escaped the import
    QStringList lines;  // first error, first warning, summary, ignored columns
};

// What the import tells of a file read with `budget` MiB of address space
// beyond what its process starts with.
Told ReadInAChild(const QString& file, int budget) {
    QProcess child;
    child.start(QStringLiteral(VELMORA_IMPORT_CHILD), {file, QString::number(budget)});
    EXPECT_TRUE(child.waitForFinished(300000));
    Told told;
    if (child.exitStatus() == QProcess::NormalExit) told.status = child.exitCode();
    told.lines = QString::fromUtf8(child.readAllStandardOutput()).split(u'\n');
    return told;
}

// Whatever a file's shape, reading it takes 128 MB at most (less than 48 MB as
// it stands; reading each of these whole took 200 MB to 1.4 GB): a row of
// 2,000,000 cells beyond its header's one (4 MB) is refused with its first
// error, a million rows with a warning each are read with all of them counted,
// a header of 2,000,000 columns is read and lists the first hundred it ignores.
TEST(ImportCsvHostile, AnyShapeStaysWithin128Megabytes) {
    struct Case {
        const char* what;
        QByteArray bytes;
        QStringList told;  // first error, first warning, summary, ignored columns
    };
    const Case cases[] = {
        {"a row of 2,000,000 extra cells",
         "Nome\nRossi" + QByteArray(",x").repeated(2000000) + "\n",
         {"riga 2, colonna 2: la riga ha più celle dell'intestazione (1)",
          "riga 1: manca la colonna del tipo (Tipo): le schede saranno senza tipo", "1 scheda da importare, 2 avvisi",
          ""}},
        {"1,000,000 rows with a warning each",
         "Nome,Tipo,Rigo 1\n" + QByteArray(",t,via\n").repeated(1000000),
         {"", "riga 2: scheda senza nome: non comparirà nella ricerca", "1000000 schede da importare, 1000000 avvisi",
          ""}},
        {"a header of 2,000,000 columns",
         QByteArray("x,").repeated(2000000) + "Nome,Tipo,Rigo 1\n" + QByteArray(",").repeated(2000000) +
             "Rossi,t,via\n",
         {"", "", "1 scheda da importare, 0 avvisi", QStringLiteral("x, ").repeated(100) + "… e altre 1999900"}},
    };
    TempFolder dir;
    for (const Case& c : cases) {
        dir.Write(QStringLiteral("ostile.csv"), c.bytes);
        const Told told = ReadInAChild(dir.File(QStringLiteral("ostile.csv")), 128);
        EXPECT_EQ(told.status, 0) << c.what;
        EXPECT_EQ(told.lines.mid(0, 4), c.told) << c.what;
    }
}

// Memory that runs out in the middle of a file refuses the import with one
// error that names the file and the line being read, and takes back what the
// read held: no rows, no warnings.
TEST(ImportCsvHostile, RunningOutOfMemoryNamesTheFileAndTheLine) {
    QByteArray bytes = "Nome;Tipo;Rigo 1;Rigo 2;Rigo 3;Rigo 4;Rigo 5;Rigo 6;Note\n";
    const QByteArray row = QByteArray("Niccolò Bàrberi;Indirizzo postale;").repeated(4) + "Via della Città 3\n";
    bytes += row.repeated(200000);  // about 40 MB of packed rows
    TempFolder dir;
    const QString path = dir.File(QStringLiteral("righe.csv"));
    dir.Write(QStringLiteral("righe.csv"), bytes);
    const Told told = ReadInAChild(path, 16);
    EXPECT_EQ(told.status, 0);
    ASSERT_GE(told.lines.size(), 3);
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^Impossibile importare %1: memoria insufficiente durante la lettura della "
                                          "riga (\\d+)$")
                               .arg(QRegularExpression::escape(path)))
            .match(told.lines[0]);
    ASSERT_TRUE(match.hasMatch()) << told.lines[0].toStdString();
    // A line past the first rows, within the file.
    EXPECT_GT(match.captured(1).toLongLong(), 2);
    EXPECT_LE(match.captured(1).toLongLong(), 200001);
    EXPECT_EQ(told.lines.mid(1, 2), QStringList({"", "0 schede da importare, 0 avvisi"}));
}

}  // namespace
