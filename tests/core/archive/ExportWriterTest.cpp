// The spreadsheet export as data: the file's bytes, its replacement on disk,
// and a real spreadsheet program reading it back. Needs no widgets.
#include "core/archive/ExportWriter.h"

#include "core/folder/ProgramFolder.h"
#ifndef _WIN32
#include "support/Calc.h"
#include "support/NeedsRoot.h"
#include "support/WriteFailure.h"
#endif

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace se = spreadsheet_export;

namespace {

const QByteArray kHead =
    "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" xmlns:x=\"urn:schemas-microsoft-com:office:excel\" "
    "xmlns=\"http://www.w3.org/TR/REC-html40\"><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
    "charset=windows-1252\"><!--[if gte mso 9]><xml><x:ExcelWorkbook><x:ExcelWorksheets><x:ExcelWorksheet>"
    "<x:Name>Archivio Indirizzi</x:Name><x:WorksheetOptions><x:Selected/><x:Panes><x:Pane><x:Number>1</x:Number>"
    "<x:ActiveRow>3</x:ActiveRow></x:Pane></x:Panes><x:ProtectContents>False</x:ProtectContents>"
    "<x:ProtectObjects>False</x:ProtectObjects><x:ProtectScenarios>False</x:ProtectScenarios>"
    "</x:WorksheetOptions></x:ExcelWorksheet></x:ExcelWorksheets></x:ExcelWorkbook></xml><![endif]--></head>"
    "<body><table x:str>";
const QByteArray kHeaderRow =
    "<tr><td style=\"text-align: left; font-weight: bold;\" width=300>Nome etichetta</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=250>Tipo</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=450>Dati rigo 1</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=450>Dati rigo 2</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=450>Dati rigo 3</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=450>Dati rigo 4</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=450>Dati rigo 5</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=450>Dati rigo 6</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=350>Note</td></tr>";
const QByteArray kEnd = "</table></body></html>";

// A data row of the file from the nine cell texts as they must stand in it,
// each in a cell marked as text for Excel and for LibreOffice Calc.
QByteArray FileRow(const std::vector<QByteArray>& cells) {
    EXPECT_EQ(cells.size(), 9u);
    QByteArray row = "<tr>";
    for (const QByteArray& cell : cells)
        row += "<td style=\"text-align: left; mso-number-format:\\@;\" sdnum=\"1040;0;@\">" + cell + "</td>";
    return row + "</tr>";
}

// Three rows of one cell each, recording how much of the export the device
// had received when each row was asked for.
class RecordingRows : public se::Rows {
public:
    explicit RecordingRows(const QBuffer& out) : out_(out) {}
    bool Next(Row& row) override {
        written.push_back(out_.size());
        if (written.size() > cells_.size()) return false;
        row.fill(QByteArrayView());
        row[0] = cells_[written.size() - 1];
        return true;
    }
    std::vector<qint64> written;

private:
    const QBuffer& out_;
    const std::array<QByteArray, 3> cells_{"uno", "due", "tre"};
};

DataRecord Record(const QStringList& fields) {
    DataRecord r;
    for (int i = 0; i < fields.size(); ++i) r.SetText(DataRecord::Field(i), fields[i]);
    return r;
}

class ExportFolder : public ::testing::Test {
protected:
    void Store(const std::vector<DataRecord>& records) {
        DataRecordFile file(dir.path());
        for (const DataRecord& r : records) file.Append(r);
        file.Close();
    }
    QString File(const QString& name) const { return dir.filePath(name); }
    QByteArray Read(const QString& name) const {
        QFile f(File(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void Write(const QString& name, const QByteArray& bytes) const {
        QFile f(File(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QStringList Entries() const {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    QByteArray ExportToBuffer() const {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        se::ExportArchive(ProgramFolder(dir.path()), out);
        return out.data();
    }

    QTemporaryDir dir;
    const QString xls = File(se::kFileName);
};

TEST_F(ExportFolder, ThreeRecordsGiveOneLineByteForByte) {
    Store({Record({"Mario Rossi", "Indirizzo", "Via Roma 1", "00100 Roma", "", "", "", "", "cliente"}),
           Record({"Rossi <Figli> & C.", "Ditta", "Città di Castello", "", "", "", "", "Perché sì", ""}),
           Record({"Li 中", "€ tipo", "a>b", "", "", "", "", "", "  nota  "})});
    se::ExportArchive(ProgramFolder(dir.path()), xls);

    const QByteArray expected =
        kHead + kHeaderRow +
        FileRow({"Mario Rossi", "Indirizzo", "Via Roma 1", "00100 Roma", "", "", "", "", "cliente"}) +
        FileRow({"Rossi &lt;Figli&gt; &amp; C.", "Ditta", "Citt\xe0 di Castello", "", "", "", "", "Perch\xe9 s\xec",
                 ""}) +
        FileRow({"Li ?", "\x80 tipo", "a&gt;b", "", "", "", "", "", "nota"}) + kEnd;
    const QByteArray file = Read(se::kFileName);
    EXPECT_EQ(file, expected);
    // One line, no byte-order mark, no record numbers.
    EXPECT_FALSE(file.contains('\n'));
    EXPECT_FALSE(file.contains('\r'));
    EXPECT_TRUE(file.startsWith("<html "));
    EXPECT_FALSE(file.contains(">1</td>"));
    // The device gets the same bytes as the file.
    EXPECT_EQ(ExportToBuffer(), expected);
}

TEST_F(ExportFolder, EmptyArchiveGivesTheHeaderAndTenEmptyRows) {
    Store({});
    QByteArray expected = kHead + kHeaderRow;
    for (int i = 0; i < 10; ++i) expected += FileRow(std::vector<QByteArray>(9));
    expected += kEnd;
    EXPECT_EQ(ExportToBuffer(), expected);
}

// Each text stored as the name and the note of a record, and what the file
// holds for it.
TEST_F(ExportFolder, CellTextsAreConvertedTrimmedAndEscaped) {
    struct Case {
        QString text;
        QByteArray written;
    };
    const Case cases[] = {
        {"A&B", "A&amp;B"},
        {"Rossi <Figli>", "Rossi &lt;Figli&gt;"},
        {"&amp;", "&amp;amp;"},
        {"\"virgolette\" e 'apici'", "\"virgolette\" e 'apici'"},
        {"àèéìòù ÀÈÉÌÒÙ", "\xe0\xe8\xe9\xec\xf2\xf9 \xc0\xc8\xc9\xcc\xd2\xd9"},
        {"€ “ ” – …", "\x80 \x93 \x94 \x96 \x85"},
        {"中文", "??"},
        {"〈 〉 ＆", "&lt; &gt; &amp;"},  // Windows' best-fit letters that are markup themselves
        {"a\tb", "a&#9;b"},
        {"a\r\nb\x01" "c", "a&#13;&#10;b&#1;c"},
        {"Via  Roma   1", "Via &#32;Roma &#32;&#32;1"},
        {"a \t b", "a &#9; b"},
        {"", ""},
    };
    std::vector<DataRecord> records;
    QByteArray expected = kHead + kHeaderRow;
    for (const Case& c : cases) {
        records.push_back(Record({c.text, "", "", "", "", "", "", "", c.text}));
        expected += FileRow({c.written, "", "", "", "", "", "", "", c.written});
    }
    Store(records);
    EXPECT_EQ(ExportToBuffer(), expected + kEnd);
}

// Fields read from a file that another program wrote: the cells are trimmed
// as the grid shows them.
TEST_F(ExportFolder, UntrimmedStoredFieldsAreTrimmed) {
    DataRecord record;
    const QByteArray raw = " \t\x01" "bordi\x20\x1f";
    record.field[DataRecord::Nome].bytes[0] = static_cast<std::uint8_t>(raw.size());
    std::copy(raw.begin(), raw.end(), record.field[DataRecord::Nome].bytes.begin() + 1);
    Store({record});
    EXPECT_EQ(ExportToBuffer(), kHead + kHeaderRow + FileRow({"bordi", "", "", "", "", "", "", "", ""}) + kEnd);
    EXPECT_EQ(se::CellText(raw), QStringLiteral("bordi"));
}

TEST(ExportWriter, WritesEachRowAsItGoes) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    RecordingRows rows(out);
    se::Write(out, rows);
    // Before the first row the head and header are out; each further row is
    // out before the next one is asked for.
    ASSERT_EQ(rows.written.size(), 4u);
    EXPECT_EQ(rows.written[0], kHead.size() + kHeaderRow.size());
    for (std::size_t i = 1; i < rows.written.size(); ++i) EXPECT_GT(rows.written[i], rows.written[i - 1]);
    EXPECT_EQ(out.size(), rows.written.back() + kEnd.size());
}

TEST_F(ExportFolder, ReplacesAnEarlierFileWhole) {
    Write(se::kFileName, QByteArray(100000, 'x'));
    Store({Record({"uno", "t", "r"})});
    se::ExportArchive(ProgramFolder(dir.path()), xls);
    EXPECT_EQ(Read(se::kFileName), ExportToBuffer());
    EXPECT_EQ(Entries(), QStringList({"Archivio_Dati.pro", "Archivio_Dati.xls"}));
}

// Each failure throws, writes nothing and leaves the earlier file and the
// folder as they were.
TEST_F(ExportFolder, AFailedExportLeavesTheEarlierFileWhole) {
    Store({Record({"uno", "t", "r"})});
    const QByteArray earlier = "earlier export";
    struct Case {
        const char* what;
        std::function<void()> arrange, undo;
    };
    const QString lock = File(".~lock.Archivio_Dati.xls#");
#ifndef _WIN32
    std::unique_ptr<WritesFail> writesFail;
#endif
    const Case cases[] = {
        {"open in the office suite", [&] { Write(".~lock.Archivio_Dati.xls#", "lock"); },
         [&] { QFile::remove(lock); }},
#ifndef _WIN32  // a full disk is POSIX's to stage
        {"writes fail", [&] { writesFail = std::make_unique<WritesFail>(); }, [&] { writesFail.reset(); }},
#endif
    };
    for (const Case& c : cases) {
        Write(se::kFileName, earlier);
        c.arrange();
        const QStringList before = Entries();
        try {
            se::ExportArchive(ProgramFolder(dir.path()), xls);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const FileError& error) {
            EXPECT_FALSE(QString::fromStdString(error.what()).contains(QStringLiteral("Unknown error")))
                << c.what << ": the system's reason, not " << error.what();
        }
        EXPECT_EQ(Entries(), before) << c.what;
        c.undo();
        EXPECT_EQ(Read(se::kFileName), earlier) << c.what;
    }
    // A folder where the file should go.
    QFile::remove(xls);
    ASSERT_TRUE(QDir(dir.path()).mkdir(se::kFileName));
    EXPECT_THROW(se::ExportArchive(ProgramFolder(dir.path()), xls), FileError);
    EXPECT_TRUE(QFileInfo(xls).isDir());
    EXPECT_EQ(Entries(), QStringList({"Archivio_Dati.pro", "Archivio_Dati.xls"}));
}

TEST_F(ExportFolder, TheArchiveIsOnlyRead) {
    EXPECT_THROW(se::ExportArchive(ProgramFolder(dir.path()), xls), FileError);
    EXPECT_TRUE(Entries().isEmpty()) << "a missing archive is neither created nor exported";

    Store({Record({"uno", "t", "r"}), Record({"due", "t", "r"})});
    const QByteArray archive = Read("Archivio_Dati.pro");
    se::ExportArchive(ProgramFolder(dir.path()), xls);
    EXPECT_EQ(Read("Archivio_Dati.pro"), archive);
}

#ifndef _WIN32  // LibreOffice Calc runs beside the Linux build
TEST_F(ExportFolder, LibreOfficeCalcReadsEveryRowAndField) {
    const QString soffice = testing_support::CalcProgram();
    if (soffice.isEmpty()) GTEST_SKIP() << "soffice not found: install libreoffice-calc-nogui to run this test";

    const std::vector<QStringList> records = {
        {"Mario Rossi", "Indirizzo", "Via Roma 1", "00100 Roma", "Italia", "", "", "", "cliente dal 2001"},
        {"Rossi <Figli> & C.", "Ditta", "Città di Castello", "a<b>c", "&amp;", "x > y", "Perché sì", "È così",
         "nota"},
        {"Li 中", "€ 12,50", "01/02/2024", "'apice'", "\"virgolette\"", "ß æ ø", "1+1", "fine", "ultima"},
    };
    std::vector<DataRecord> stored;
    for (const QStringList& r : records) stored.push_back(Record(r));
    Store(stored);
    se::ExportArchive(ProgramFolder(dir.path()), xls);

    const QString csv = testing_support::ConvertToCsv(soffice, xls, dir.filePath("csv"), ',');
    ASSERT_FALSE(csv.isEmpty());

    const std::vector<testing_support::CsvRow> rows = testing_support::ReadCsv(csv, ',');
    ASSERT_EQ(rows.size(), records.size() + 1);
    EXPECT_EQ(testing_support::Texts(rows[0]), QStringList({"Nome etichetta", "Tipo", "Dati rigo 1", "Dati rigo 2",
                                                            "Dati rigo 3", "Dati rigo 4", "Dati rigo 5", "Dati rigo 6",
                                                            "Note"}));
    for (std::size_t i = 0; i < records.size(); ++i) {
        QStringList expected = records[i];
        expected.replaceInStrings(QStringLiteral("中"), QStringLiteral("?"));
        EXPECT_EQ(testing_support::Texts(rows[i + 1]), expected) << "row " << i + 1;
    }
}

// Each typed text in all nine fields of a record: Calc reads every cell of the
// export as text, as it is stored, with no formula worked out and no number
// or date read into it.
TEST_F(ExportFolder, LibreOfficeCalcReadsEveryCellAsTheTextStored) {
    const QString soffice = testing_support::CalcProgram();
    if (soffice.isEmpty()) GTEST_SKIP() << "soffice not found: install libreoffice-calc-nogui to run this test";

    const QStringList& texts = testing_support::TypedTexts();
    std::vector<DataRecord> records;
    for (const QString& text : texts) records.push_back(Record(QStringList(se::Rows::kCells, text)));
    Store(records);
    se::ExportArchive(ProgramFolder(dir.path()), xls);

    // Separated by semicolons, which no number that Calc writes holds: an
    // unquoted field is then a number.
    const QString csv = testing_support::ConvertToCsv(soffice, xls, dir.filePath("csv"), ';');
    ASSERT_FALSE(csv.isEmpty());
    const std::vector<testing_support::CsvRow> rows = testing_support::ReadCsv(csv, ';');
    ASSERT_EQ(rows.size(), std::size_t(texts.size()) + 1);
    for (qsizetype i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(texts[i].toStdString());
        EXPECT_EQ(testing_support::Texts(rows[i + 1]).join(u'|').toStdString(),
                  QStringList(se::Rows::kCells, testing_support::CalcShows(texts[i])).join(u'|').toStdString());
        for (const testing_support::CsvField& field : rows[i + 1]) EXPECT_TRUE(field.quoted) << "not a text cell";
    }
}
#endif

}  // namespace

#ifndef _WIN32
// An export onto a disk that fills up: the message gives the system's reason,
// and nothing of it is left there. Needs a small file system of its own, which
// only root can mount.
TEST_F(ExportFolder, AFullDiskIsToldAsSuchAndLeavesNothing) {
    std::vector<DataRecord> records;
    for (int i = 0; i < 300; ++i) records.push_back(Record({"nome", "tipo", "riga"}));
    Store(records);
    QTemporaryDir small;
    if (QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=16k", "tmpfs", small.path()}) != 0)
        SKIP_WITHOUT_ROOT("no small file system to fill (mounting)");
    const QString target = small.filePath(QStringLiteral("export.xls"));
    try {
        se::ExportArchive(ProgramFolder(dir.path()), target);
        ADD_FAILURE() << "no error";
    } catch (const FileError& error) {
        EXPECT_TRUE(QString::fromStdString(error.what()).contains(target)) << error.what();
        EXPECT_FALSE(QString::fromStdString(error.what()).contains(QStringLiteral("Unknown error"))) << error.what();
    }
    EXPECT_TRUE(QDir(small.path()).isEmpty()) << "no export, no temporary file";
    QProcess::execute(QStringLiteral("umount"), {small.path()});
}
#endif
