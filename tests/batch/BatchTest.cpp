#include "batch/Batch.h"

#include "app/Velmora.h"
#include "archive/Archivio_Indirizzi.h"
#include "archive/DataRecord.h"
#include "archive/ExpIndirizzi.h"
#include "archive/TrovaIndirizzi.h"
#include "report/PrintDialog.h"
#include "sheets/SheetRecord.h"
#include "support/FakePrinters.h"
#include "support/PdfText.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QTextStream>

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cmath>
#include <string>

using testing_support::PdfWord;
using testing_support::PdfWords;
using testing_support::AppFixture;
using testing_support::TempFolder;

namespace {

std::string S(const QString& text) { return text.toStdString(); }

const QString kArchive = QStringLiteral("Archivio_Dati.pro");

void WriteArchive(const QString& folder, int count) {
    DataRecordFile file(folder);
    for (int i = count; i >= 1; --i) {
        DataRecord record;
        record.SetText(DataRecord::Nome, QStringLiteral("Socio%1").arg(i, 3, 10, QLatin1Char('0')));
        record.SetText(DataRecord::Tipo, QStringLiteral("Postale"));
        record.SetText(DataRecord::Note, QStringLiteral("nota%1").arg(i));
        file.Append(record);
    }
}

struct Outcome {
    int status;
    QString err;
};

Outcome RunBatch(const QStringList& arguments, bool errIsTerminal = false) {
    testing_support::EnsureApplication();
    QString err;
    QTextStream stream(&err);
    const int status = batch::Run(arguments, QStringLiteral("/nonexistent"), stream, errIsTerminal);
    return {status, err};
}

// The text of one page of the PDF line by line from the top, each line's
// words from the left joined by single spaces.
QStringList PageLines(const QString& pdf, int page) {
    std::vector<PdfWord> words;
    for (const PdfWord& word : PdfWords(pdf))
        if (word.page == page) words.push_back(word);
    std::sort(words.begin(), words.end(), [](const PdfWord& a, const PdfWord& b) {
        return std::abs(a.top - b.top) > 0.5 ? a.top < b.top : a.left < b.left;
    });
    QStringList lines;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i == 0 || std::abs(words[i].top - words[i - 1].top) > 0.5)
            lines << words[i].text;
        else
            lines.back() += u' ' + words[i].text;
    }
    return lines;
}

TEST(BatchSummary, WritesTheSummaryOfTheArchiveAsAPdf) {
    struct Case {
        QStringList command;
        const char* title;
    };
    const Case cases[] = {{{"summary"}, "Riepilogo etichette in archivio"},
                          {{"summary", "importa"}, "Riepilogo dati in archivio"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        TempFolder folder;
        WriteArchive(folder.Path(), 3);
        const QByteArray archive = folder.Read(kArchive);
        const QString pdf = folder.File(QStringLiteral("riepilogo.pdf"));
        const Outcome run = RunBatch(QStringList{"--folder", folder.Path(), "--pdf", pdf} + c.command);
        ASSERT_EQ(run.status, 0) << S(run.err);
        EXPECT_TRUE(run.err.isEmpty());
        // The title, the items in list order, the footer.
        const QStringList lines = PageLines(pdf, 1);
        ASSERT_EQ(lines.size(), 5) << S(lines.join(u'|'));
        EXPECT_EQ(S(lines[0]), c.title);
        for (int i = 1; i <= 3; ++i)
            EXPECT_EQ(S(lines[i]), S(QStringLiteral("Socio00%1 Tipo: Postale Note: nota%1").arg(i)));
        EXPECT_TRUE(lines[4].startsWith(QStringLiteral("Stampa eseguita in data "))) << S(lines[4]);
        EXPECT_EQ(folder.Read(kArchive), archive) << "the archive is left as it was";
        EXPECT_EQ(QDir(folder.Path()).entryList(QDir::Files | QDir::NoDotAndDotDot),
                  QStringList({kArchive, QStringLiteral("riepilogo.pdf")}));
    }
}

// velmora-batch summary prints what the find window prints right after opening.
TEST(BatchSummary, MatchesTheFindWindowsSummary) {
    AppFixture fixture;
    WriteArchive(fixture.folder.Path(), 130);
    const QString batchPdf = fixture.folder.File(QStringLiteral("batch.pdf"));
    ASSERT_EQ(RunBatch({"--folder", fixture.folder.Path(), "--pdf", batchPdf, "summary"}).status, 0);

    testing_support::UseFakePrinters fake({QStringLiteral("Ufficio")});
    TfrmTrovaIndirizzi picker(*fixture.app, &fixture.app->frmArchivio_Indirizzi());
    testing_support::ModalScript script;
    script.Then([&](QDialog&) { picker.btnStampa->click(); });
    script.Then([](QDialog& dialog) { dynamic_cast<report::TfrmPrintDialog&>(dialog).btnOK->click(); });
    ui::RunModal(picker);
    ASSERT_TRUE(script.Done());
    const QString windowPdf = fixture.folder.File(QStringLiteral("window.pdf"));
    report::WritePdf(report::PagesFor(picker.repRiepilogo->PreparedPages()), windowPdf);

    const std::vector<PdfWord> fromBatch = PdfWords(batchPdf), fromWindow = PdfWords(windowPdf);
    ASSERT_EQ(fromBatch.size(), fromWindow.size());
    ASSERT_GT(fromBatch.back().page, 1);
    // Word for word, in the same places; only the footer's time may differ.
    for (std::size_t i = 0; i + 1 < fromBatch.size(); ++i) {
        EXPECT_EQ(fromBatch[i].page, fromWindow[i].page) << i;
        EXPECT_EQ(S(fromBatch[i].text), S(fromWindow[i].text)) << i;
        EXPECT_NEAR(fromBatch[i].left, fromWindow[i].left, 0.01) << i;
        EXPECT_NEAR(fromBatch[i].top, fromWindow[i].top, 0.01) << i;
    }
}

TEST(BatchSummary, AMissingArchiveIsAFailureAndNothingIsCreated) {
    for (const QStringList& command : {QStringList{"summary"}, QStringList{"summary", "importa"}}) {
        TempFolder folder;
        const Outcome run =
            RunBatch(QStringList{"--folder", folder.Path(), "--pdf", folder.File(QStringLiteral("r.pdf"))} + command);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.contains(kArchive)) << S(run.err);
        EXPECT_TRUE(QDir(folder.Path()).isEmpty()) << "no archive and no document";
    }
}

TEST(BatchSummary, UsageErrorsExitWithStatusTwo) {
    TempFolder folder;
    WriteArchive(folder.Path(), 1);
    const QString pdf = folder.File(QStringLiteral("r.pdf"));
    const QStringList cases[] = {
        {"--folder", folder.Path(), "--pdf", pdf, "summary", "trova"},
        {"--folder", folder.Path(), "--pdf", pdf, "summary", "importa", "altro"},
        {"--folder", folder.Path(), "summary"},
    };
    for (const QStringList& arguments : cases) {
        const Outcome run = RunBatch(arguments);
        EXPECT_EQ(run.status, 2) << S(arguments.join(u' '));
        EXPECT_TRUE(run.err.contains(QStringLiteral("summary [importa]"))) << S(run.err);
        EXPECT_FALSE(QFileInfo::exists(pdf));
    }
}

}  // namespace

namespace {

// A PDF sent to something that is not a regular file (here a pipe) is written
// into it; the pipe is not replaced by a file. A link is followed, not replaced.
TEST(BatchOutput, PipesAndLinksAreWrittenThroughNotReplaced) {
    TempFolder dir;
    WriteArchive(dir.Path(), 2);
    const QString fifo = dir.File(QStringLiteral("tubo"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Both ends held here: opening never blocks, and the document (well under
    // a pipe's 64 KiB) waits in the pipe until read.
    const int end = ::open(QFile::encodeName(fifo).constData(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(end, 0);
    const Outcome toPipe = RunBatch({QStringLiteral("--folder"), dir.Path(), QStringLiteral("--pdf"), fifo,
                                     QStringLiteral("summary")});
    QByteArray received;
    char buffer[4096];
    for (ssize_t n; (n = ::read(end, buffer, sizeof buffer)) > 0;) received.append(buffer, n);
    ::close(end);
    EXPECT_EQ(toPipe.status, 0) << S(toPipe.err);
    EXPECT_TRUE(received.startsWith("%PDF"));
    EXPECT_TRUE(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());

    const QString link = dir.File(QStringLiteral("collegamento.pdf"));
    ASSERT_TRUE(QFile::link(dir.File(QStringLiteral("vero.pdf")), link));
    const Outcome throughLink = RunBatch({QStringLiteral("--folder"), dir.Path(), QStringLiteral("--pdf"), link,
                                          QStringLiteral("summary")});
    EXPECT_EQ(throughLink.status, 0) << S(throughLink.err);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_GT(QFileInfo(dir.File(QStringLiteral("vero.pdf"))).size(), 0);
}

}  // namespace

namespace {

const QString kSettings = QStringLiteral("Impostazioni.ini");

// One record whose six lines are single words, line n "Rigo<n>".
void WriteEnvelopeRecord(const QString& folder) {
    DataRecord record;
    record.SetText(DataRecord::Nome, QStringLiteral("Busta"));
    for (int line = 1; line <= 6; ++line) record.SetText(DataRecord::Rigo(line), QStringLiteral("Rigo%1").arg(line));
    DataRecordFile(folder).Append(record);
}

// velmora-batch envelope takes its place from Impostazioni.ini and only reads it.
TEST(BatchEnvelope, PrintsTheRecordWhereTheSettingsPutIt) {
    struct Case {
        const char* settings;  // nullptr: no file
        bool landscape;
        double top, left;
    };
    const Case cases[] = {
        {nullptr, false, 0, 0},
        {"[Margini Busta]\r\nSuperiore=10\r\nSinistro=5\r\n", false, 10, 5},
        {"[Margini Busta]\nSuperiore=10\nSinistro=5\n[Stampa Busta]\nOrientamento= Orizzontale \n", true, 10, 5},
        {"[Margini Busta]\nSuperiore=-3\n[Stampa Busta]\nOrientamento=orizzontale\n", false, -3, 0},
        {"[Margini Busta]\nSuperiore=\nSinistro=2,5\n", false, 0, 2.5},
    };
    const double insetX = report::UnitsToMm(2), insetY = report::UnitsToMm(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings ? c.settings : "(no file)");
        TempFolder folder;
        WriteEnvelopeRecord(folder.Path());
        if (c.settings) folder.Write(kSettings, c.settings);
        const QString pdf = folder.File(QStringLiteral("busta.pdf"));
        const Outcome run = RunBatch({"--folder", folder.Path(), "--pdf", pdf, "envelope", "1"});
        ASSERT_EQ(run.status, 0) << S(run.err);
        EXPECT_EQ(testing_support::PdfPageCount(pdf), 1);
        const std::vector<PdfWord> words = PdfWords(pdf);
        ASSERT_EQ(words.size(), 6u);
        EXPECT_NEAR(words[0].paper.width(), c.landscape ? 297 : 210, 0.5);
        EXPECT_NEAR(words[0].paper.height(), c.landscape ? 210 : 297, 0.5);
        for (int line = 1; line <= 6; ++line) {
            const PdfWord word = testing_support::FindWord(words, QStringLiteral("Rigo%1").arg(line));
            EXPECT_NEAR(word.left, c.left + 119 + insetX, 0.1) << line;
            EXPECT_NEAR(word.top, c.top + 57 + 5 * (line - 1) + insetY, 0.1) << line;
        }
        EXPECT_EQ(folder.Read(kSettings), c.settings ? QByteArray(c.settings) : QByteArray());
        EXPECT_EQ(QFileInfo::exists(folder.File(kSettings)), c.settings != nullptr) << "the settings are never written";
    }
}

TEST(BatchEnvelope, EmptyLinesPrintNothing) {
    TempFolder folder;
    DataRecord record;
    record.SetText(DataRecord::Rigo01, QStringLiteral("Mario Rossi"));
    record.SetText(DataRecord::Rigo02, QStringLiteral("Via Roma 1"));
    DataRecordFile(folder.Path()).Append(record);
    const QString pdf = folder.File(QStringLiteral("busta.pdf"));
    ASSERT_EQ(RunBatch({"--folder", folder.Path(), "--pdf", pdf, "envelope", "1"}).status, 0);
    EXPECT_EQ(PageLines(pdf, 1), QStringList({"Mario Rossi", "Via Roma 1"}));
}

TEST(BatchEnvelope, WhatCannotBePrintedFailsAndWritesNothing) {
    struct Case {
        const char* what;
        const char* settings;  // nullptr: no file; "/": a folder in its place
        QStringList command;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {"a top margin that is not a number", "[Margini Busta]\nSuperiore=abc\n", {"envelope", "1"}, 1, "abc"},
        {"a left margin with a full stop", "[Margini Busta]\nSinistro=2.5\n", {"envelope", "1"}, 1, "Sinistro"},
        {"settings that cannot be read", "/", {"envelope", "1"}, 1, "Impostazioni.ini"},
        {"a record that does not exist", nullptr, {"envelope", "2"}, 1, "1 in archivio"},
        {"a record number that is no number", nullptr, {"envelope", "0"}, 1, "numero di scheda"},
        {"no record number", nullptr, {"envelope"}, 2, "envelope N"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        WriteEnvelopeRecord(folder.Path());
        if (c.settings && QByteArray(c.settings) == "/")
            ASSERT_TRUE(QDir(folder.Path()).mkdir(kSettings));
        else if (c.settings)
            folder.Write(kSettings, c.settings);
        const QString pdf = folder.File(QStringLiteral("busta.pdf"));
        const Outcome run = RunBatch(QStringList{"--folder", folder.Path(), "--pdf", pdf} + c.command);
        EXPECT_EQ(run.status, c.status);
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(c.says))) << S(run.err);
        EXPECT_FALSE(QFileInfo::exists(pdf));
        if (c.settings && QByteArray(c.settings) != "/") {
            EXPECT_EQ(folder.Read(kSettings), QByteArray(c.settings));
        }
    }
}

}  // namespace

namespace {

// velmora-batch export writes what the export window writes right after it
// opened, into the folder's Archivio_Dati.xls, a named file or standard output.
TEST(BatchExport, WritesTheWindowsExportToAFileOrStandardOutput) {
    AppFixture fixture;
    WriteArchive(fixture.folder.Path(), 3);
    const QByteArray archive = fixture.folder.Read(kArchive);
    const QString xls = QStringLiteral("Archivio_Dati.xls");

    testing_support::MessageLog log;
    log.answers = {ui::Answer::Yes, ui::Answer::No};  // export, do not open
    testing_support::ModalScript script;
    script.Then([](QDialog& dialog) { static_cast<TfrmExpIndirizzi&>(dialog).cmdEsportaClick(); });
    fixture.app->frmArchivio_Indirizzi().cmdEsportaClick();
    ASSERT_TRUE(script.Done());
    const QByteArray fromWindow = fixture.folder.Read(xls);
    ASSERT_TRUE(fromWindow.startsWith("<html")) << "the window exported";
    QFile::remove(fixture.folder.File(xls));

    Outcome run = RunBatch({"--folder", fixture.folder.Path(), "export"});
    ASSERT_EQ(run.status, 0) << S(run.err);
    EXPECT_EQ(fixture.folder.Read(xls), fromWindow);

    const QString named = fixture.folder.File(QStringLiteral("copia.xls"));
    run = RunBatch({"--folder", fixture.folder.Path(), "export", named});
    ASSERT_EQ(run.status, 0) << S(run.err);
    EXPECT_EQ(fixture.folder.Read(QStringLiteral("copia.xls")), fromWindow);

    QProcess tool;
    tool.start(QStringLiteral(VELMORA_BATCH), {"--folder", fixture.folder.Path(), "export", "-"});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_EQ(tool.readAllStandardOutput(), fromWindow);
    EXPECT_EQ(fixture.folder.Read(kArchive), archive) << "the archive is only read";
}

TEST(BatchExport, RefusalsWriteNothing) {
    TempFolder folder;
    struct Case {
        QStringList arguments;
        int status;
    };
    const Case cases[] = {
        {{"export"}, 1},  // no archive: neither created nor exported
        {{"--pdf", folder.File(QStringLiteral("x.pdf")), "export"}, 2},
        {{"--printer", "default", "export"}, 2},
        {{"export", "a.xls", "b.xls"}, 2},
    };
    for (const Case& c : cases) {
        const Outcome run = RunBatch(QStringList{"--folder", folder.Path()} + c.arguments);
        EXPECT_EQ(run.status, c.status) << S(c.arguments.join(u' ')) << S(run.err);
        EXPECT_TRUE(QDir(folder.Path()).isEmpty()) << S(c.arguments.join(u' '));
    }
}

}  // namespace

namespace {

// Archives of `count` records whose every printed line tells its record apart.
void WriteSheetPages(const QString& folder, int count) {
    SheetRecordFile file(folder);
    for (int p = 1; p <= count; ++p) {
        SheetRecord page;
        for (int slot = 1; slot <= label_grid::kSlots; slot += 5)
            for (int line = 1; line <= label_grid::kLines; ++line)
                page.field[SheetRecord::LineField(line, slot)] =
                    EncodeShortText(QStringLiteral("P%1E%2R%3 Wj").arg(p).arg(slot).arg(line));
        file.Append(page);
    }
}

void WriteAddresses(const QString& folder, int count) {
    DataRecordFile file(folder);
    for (int n = 1; n <= count; ++n) {
        DataRecord record;
        record.SetText(DataRecord::Nome, QStringLiteral("Socio%1").arg(n));
        for (int line = 1; line <= 6; line += 2)
            record.SetText(DataRecord::Rigo(line), QStringLiteral("Scheda%1 rigo%2 gq").arg(n).arg(line));
        file.Append(record);
    }
}

struct NumberedVerb {
    const char* verb;
    void (*write)(const QString&, int);
    const char* file;
};
const NumberedVerb kNumberedVerbs[] = {
    {"sheet", WriteSheetPages, SheetRecord::kFileName},
    {"record", WriteAddresses, DataRecord::kFileName},
    {"envelope", WriteAddresses, DataRecord::kFileName},
};

std::vector<PdfWord> WordsOfPage(const std::vector<PdfWord>& words, int page) {
    std::vector<PdfWord> on;
    for (const PdfWord& word : words)
        if (word.page == page) on.push_back(word);
    return on;
}

// A range is one document whose pages are, word for word and in the same
// places, the pages the verb prints one at a time.
TEST(BatchRange, EveryPageOfARangeIsThePagePrintedAlone) {
    struct Case {
        const char* range;
        int first, last;
    };
    const Case ranges[] = {{"2-4", 2, 4}, {"all", 1, 5}, {"3-3", 3, 3}};
    for (const NumberedVerb& v : kNumberedVerbs) {
        TempFolder folder;
        v.write(folder.Path(), 5);
        std::vector<std::vector<PdfWord>> alone;
        for (int n = 1; n <= 5; ++n) {
            const QString pdf = folder.File(QStringLiteral("alone%1.pdf").arg(n));
            ASSERT_EQ(RunBatch({"--folder", folder.Path(), "--pdf", pdf, v.verb, QString::number(n)}).status, 0);
            alone.push_back(PdfWords(pdf));
            ASSERT_FALSE(alone.back().empty());
        }
        for (const Case& c : ranges) {
            SCOPED_TRACE(std::string(v.verb) + " " + c.range);
            const QString pdf = folder.File(QStringLiteral("range.pdf"));
            const Outcome run = RunBatch({"--folder", folder.Path(), "--pdf", pdf, v.verb, c.range});
            ASSERT_EQ(run.status, 0) << S(run.err);
            EXPECT_TRUE(run.err.isEmpty()) << S(run.err);
            ASSERT_EQ(testing_support::PdfPageCount(pdf), c.last - c.first + 1);
            const std::vector<PdfWord> words = PdfWords(pdf);
            for (int n = c.first; n <= c.last; ++n) {
                const std::vector<PdfWord> page = WordsOfPage(words, n - c.first + 1);
                const std::vector<PdfWord>& single = alone[n - 1];
                ASSERT_EQ(page.size(), single.size()) << "page " << n;
                for (std::size_t i = 0; i < page.size(); ++i) {
                    EXPECT_EQ(S(page[i].text), S(single[i].text)) << n << ":" << i;
                    EXPECT_EQ(page[i].left, single[i].left) << n << ":" << i;
                    EXPECT_EQ(page[i].top, single[i].top) << n << ":" << i;
                    EXPECT_EQ(page[i].right, single[i].right) << n << ":" << i;
                    EXPECT_EQ(page[i].bottom, single[i].bottom) << n << ":" << i;
                    EXPECT_EQ(page[i].paper, single[i].paper) << n << ":" << i;
                }
            }
        }
    }
}

TEST(BatchRange, RefusalsSayWhyAndWriteNothing) {
    struct Case {
        const char* verb;
        int records;  // -1: no archive
        const char* range;
        const char* says;
    };
    const Case cases[] = {
        {"sheet", 3, "2-4", "la pagina 4 non esiste in Archivio_Etichette.pro (3 in archivio)"},
        {"sheet", 3, "4", "la pagina 4 non esiste in Archivio_Etichette.pro (3 in archivio)"},
        {"sheet", 3, "3-2", "intervallo non valido: 3-2 (il primo numero supera l'ultimo)"},
        {"sheet", 0, "all", "nessuna pagina in Archivio_Etichette.pro: l'archivio è vuoto"},
        {"sheet", 0, "1", "la pagina 1 non esiste in Archivio_Etichette.pro (0 in archivio)"},
        {"sheet", -1, "all", "Archivio_Etichette.pro"},
        {"sheet", 3, "0-2", "numero di pagina non valido: 0-2"},
        {"record", 3, "1-9", "la scheda 9 non esiste in Archivio_Dati.pro (3 in archivio)"},
        {"record", 3, "9-1", "intervallo non valido: 9-1"},
        {"record", 0, "all", "nessuna scheda in Archivio_Dati.pro: l'archivio è vuoto"},
        {"record", 3, "1-", "numero di scheda non valido: 1-"},
        {"record", 3, "x-2", "numero di scheda non valido: x-2"},
        {"record", 3, "1-2-3", "numero di scheda non valido: 1-2-3"},
        {"record", 3, "tutti", "numero di scheda non valido: tutti"},
        {"envelope", 3, "2-7", "la scheda 7 non esiste in Archivio_Dati.pro (3 in archivio)"},
        {"envelope", 3, "3-1", "intervallo non valido: 3-1"},
        {"envelope", 0, "all", "nessuna scheda in Archivio_Dati.pro: l'archivio è vuoto"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.verb) + " " + c.range);
        TempFolder folder;
        const QString file = QString::fromLatin1(std::string(c.verb) == "sheet" ? SheetRecord::kFileName
                                                                                 : DataRecord::kFileName);
        if (c.records == 0) folder.Write(file, {});
        if (c.records > 0) (std::string(c.verb) == "sheet" ? WriteSheetPages : WriteAddresses)(folder.Path(), c.records);
        const QStringList before = QDir(folder.Path()).entryList(QDir::Files);
        const QString pdf = folder.File(QStringLiteral("fuori.pdf"));
        const Outcome run = RunBatch({"--folder", folder.Path(), "--pdf", pdf, c.verb, c.range}, true);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.says))) << S(run.err);
        EXPECT_FALSE(QFileInfo::exists(pdf));
        EXPECT_EQ(QDir(folder.Path()).entryList(QDir::Files), before) << "nothing created";
    }
}

// The progress line: only on a terminal, only for more than one page, never
// with --quiet; rewritten in place and ended before anything else is said.
TEST(BatchRange, TheProgressLineShowsOnATerminalUnlessQuiet) {
    TempFolder folder;
    WriteSheetPages(folder.Path(), 3);
    const QString pdf = folder.File(QStringLiteral("p.pdf"));
    const QString shown = QStringLiteral(
        "\rvelmora-batch: pagine preparate 1/3 (33%)\rvelmora-batch: pagine preparate 2/3 (66%)"
        "\rvelmora-batch: pagine preparate 3/3 (100%)\n"
        "\rvelmora-batch: pagine disegnate 1/3 (33%)\rvelmora-batch: pagine disegnate 2/3 (66%)"
        "\rvelmora-batch: pagine disegnate 3/3 (100%)\n");
    struct Case {
        QStringList arguments;
        bool terminal;
        QString err;
    };
    const Case cases[] = {
        {{"sheet", "1-3"}, true, shown},
        {{"sheet", "all"}, true, shown},
        {{"--quiet", "sheet", "1-3"}, true, {}},
        {{"sheet", "1-3"}, false, {}},
        {{"sheet", "2"}, true, {}},
        {{"sheet", "1-4"}, true,
         QStringLiteral("velmora-batch: la pagina 4 non esiste in Archivio_Etichette.pro (3 in archivio)\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(S(c.arguments.join(u' ')));
        const Outcome run = RunBatch(QStringList{"--folder", folder.Path(), "--pdf", pdf} + c.arguments, c.terminal);
        EXPECT_EQ(S(run.err), S(c.err));
    }
}

}  // namespace
