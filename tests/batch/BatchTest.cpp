#include "batch/Batch.h"

#include "windows/app/Velmora.h"
#include "windows/archive/Archivio_Indirizzi.h"
#include "core/archive/DataRecord.h"
#include "windows/archive/ExpIndirizzi.h"
#include "windows/archive/TrovaIndirizzi.h"
#include "report_ui/PrintDialog.h"
#include "core/sheets/Calibration.h"
#include "core/sheets/LabelGrid.h"
#include "core/sheets/SheetRecord.h"
#include "core/platform/Version.h"
#include "print/pdf/PdfWriter.h"
#include "support/Calc.h"
#include "support/FakePrinters.h"
#include "support/IniForms.h"
#include "support/PdfText.h"
#include "support/SpecialFiles.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QThread>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QTextStream>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <map>
#include <random>
#include <sys/wait.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cmath>
#include <string>

using testing_support::PdfWord;
using testing_support::PdfWords;
using testing_support::AppFixture;
using testing_support::OutsideFile;
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
        const QString pdf = OutsideFile(QStringLiteral("riepilogo.pdf"));
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
        EXPECT_EQ(QDir(folder.Path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{kArchive});
        EXPECT_EQ(QDir(QFileInfo(pdf).path()).entryList(QDir::Files | QDir::Hidden), QStringList{"riepilogo.pdf"});
    }
}

// velmora-batch summary prints what the find window prints right after opening.
TEST(BatchSummary, MatchesTheFindWindowsSummary) {
    AppFixture fixture;
    WriteArchive(fixture.folder.Path(), 130);
    const QString batchPdf = OutsideFile(QStringLiteral("batch.pdf"));
    ASSERT_EQ(RunBatch({"--folder", fixture.folder.Path(), "--pdf", batchPdf, "summary"}).status, 0);

    testing_support::UseFakePrinters fake({QStringLiteral("Ufficio")});
    TfrmTrovaIndirizzi picker(*fixture.app, &fixture.app->frmArchivio_Indirizzi());
    testing_support::ModalScript script;
    script.Then([&](QDialog&) { picker.btnStampa->click(); });
    script.Then([](QDialog& dialog) { dynamic_cast<report::TfrmPrintDialog&>(dialog).btnOK->click(); });
    ui::RunModal(picker);
    ASSERT_TRUE(script.Done());
    const QString windowPdf = OutsideFile(QStringLiteral("window.pdf"));
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
            RunBatch(QStringList{"--folder", folder.Path(), "--pdf", OutsideFile(QStringLiteral("r.pdf"))} + command);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.contains(kArchive)) << S(run.err);
        EXPECT_TRUE(QDir(folder.Path()).isEmpty()) << "no archive and no document";
    }
}

TEST(BatchSummary, UsageErrorsExitWithStatusTwo) {
    TempFolder folder;
    WriteArchive(folder.Path(), 1);
    const QString pdf = OutsideFile(QStringLiteral("r.pdf"));
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
    TempFolder folder;
    TempFolder dir;
    WriteArchive(folder.Path(), 2);
    const QString fifo = dir.File(QStringLiteral("tubo"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Both ends held here: opening never blocks, and the document (well under
    // a pipe's 64 KiB) waits in the pipe until read.
    const int end = ::open(QFile::encodeName(fifo).constData(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(end, 0);
    const Outcome toPipe = RunBatch({QStringLiteral("--folder"), folder.Path(), QStringLiteral("--pdf"), fifo,
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
    const Outcome throughLink = RunBatch({QStringLiteral("--folder"), folder.Path(), QStringLiteral("--pdf"), link,
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

// velmora-batch envelope takes its place from Impostazioni.ini, in every form
// that Windows programs save it, and only reads it.
TEST(BatchEnvelope, PrintsTheRecordWhereTheSettingsPutIt) {
    struct Case {
        std::string name;
        QByteArray settings;  // null: no file
        bool landscape;
        double top, left;
    };
    std::vector<Case> cases = {
        {"no file", QByteArray(), false, 0, 0},
        {"CR LF", "[Margini Busta]\r\nSuperiore=10\r\nSinistro=5\r\n", false, 10, 5},
        {"LF", "[Margini Busta]\nSuperiore=10\nSinistro=5\n[Stampa Busta]\nOrientamento= Orizzontale \n", true, 10,
         5},
        {"small letters", "[Margini Busta]\nSuperiore=-3\n[Stampa Busta]\nOrientamento=orizzontale\n", false, -3, 0},
        {"decimals", "[Margini Busta]\nSuperiore=\nSinistro=2,5\n", false, 0, 2.5},
    };
    for (const testing_support::IniForm& form : testing_support::IniForms()) {
        const QString text = form.Text({"[Margini Busta]", "Superiore=10", "Sinistro=5", "[Stampa Busta]",
                                        "Orientamento=Orizzontale"});
        cases.push_back({form.Name(), form.Bytes(text), true, 10, 5});
    }
    const double insetX = report::UnitsToMm(2), insetY = report::UnitsToMm(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        WriteEnvelopeRecord(folder.Path());
        if (!c.settings.isNull()) folder.Write(kSettings, c.settings);
        const QString pdf = OutsideFile(QStringLiteral("busta.pdf"));
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
        EXPECT_EQ(folder.Read(kSettings), c.settings);
        EXPECT_EQ(QFileInfo::exists(folder.File(kSettings)), !c.settings.isNull()) << "the settings are never written";
    }
}

TEST(BatchEnvelope, EmptyLinesPrintNothing) {
    TempFolder folder;
    DataRecord record;
    record.SetText(DataRecord::Rigo01, QStringLiteral("Mario Rossi"));
    record.SetText(DataRecord::Rigo02, QStringLiteral("Via Roma 1"));
    DataRecordFile(folder.Path()).Append(record);
    const QString pdf = OutsideFile(QStringLiteral("busta.pdf"));
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
        const QString pdf = OutsideFile(QStringLiteral("busta.pdf"));
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

    const QString named = OutsideFile(QStringLiteral("copia.xls"));
    run = RunBatch({"--folder", fixture.folder.Path(), "export", named});
    ASSERT_EQ(run.status, 0) << S(run.err);
    QFile copy(named);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), fromWindow);

    QProcess tool;
    tool.start(QStringLiteral(VELMORA_BATCH), {"--folder", fixture.folder.Path(), "export", "-"});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_EQ(tool.readAllStandardOutput(), fromWindow);
    EXPECT_EQ(fixture.folder.Read(kArchive), archive) << "the archive is only read";
}

// The export may replace the folder's own Archivio_Dati.xls, by any name,
// but never another file of the folder.
TEST(BatchExport, NeverWritesOverAnotherFileOfTheProgramFolder) {
    TempFolder folder;
    WriteArchive(folder.Path(), 2);
    folder.Write(QStringLiteral("unins000.dll"), "[Password]\r\n");
    const QByteArray archive = folder.Read(kArchive), password = folder.Read(QStringLiteral("unins000.dll"));
    for (const char* name : {"Archivio_Dati.pro", "unins000.dll"}) {
        const Outcome run = RunBatch({"--folder", folder.Path(), "export", folder.File(QLatin1String(name))});
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_TRUE(run.err.contains(QLatin1String(name))) << S(run.err);
    }
    EXPECT_EQ(folder.Read(kArchive), archive);
    EXPECT_EQ(folder.Read(QStringLiteral("unins000.dll")), password);
    const Outcome own = RunBatch({"--folder", folder.Path(), "export", folder.File(QStringLiteral("Archivio_Dati.xls"))});
    EXPECT_EQ(own.status, 0) << S(own.err);
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

TEST(BatchUsage, BadOptionsAreNamedInItalian) {
    const struct {
        QStringList arguments;
        const char* said;
    } cases[] = {
        {{"--bogus", "summary"}, "opzione sconosciuta bogus"},
        {{"summary", "--pdf"}, "manca il valore di --pdf"},
        {{"--copies", "0", "--pdf", "x.pdf", "summary"}, "numero di copie non valido: 0"},
    };
    for (const auto& c : cases) {
        const Outcome run = RunBatch(c.arguments);
        EXPECT_EQ(run.status, 2) << S(c.arguments.join(u' '));
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("velmora-batch: ") + QString::fromUtf8(c.said))) << S(run.err);
    }
}

}  // namespace

namespace {

// No document lands anywhere in the program folder: the folder as the build
// lays it out, with the files a run adds (archives, settings, export, an
// attachment), every one of its files and two new names, reached by name, by
// a link to the file, through a link to the folder and through "..", is
// refused by --pdf and by export FILE with exit status 1, and every file
// stays byte for byte as it was. Only export may write the folder's own
// Archivio_Dati.xls.
TEST(BatchOutput, WritesNothingIntoTheProgramFolder) {
    TempFolder copy;
    const QString folder = copy.File(QStringLiteral("Velmora"));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/Documenti_Allegati/pratiche")));
    QDirIterator built(QStringLiteral(VELMORA_PROGRAM_DIR), QDir::Files | QDir::Hidden);
    while (built.hasNext()) {
        const QString file = built.next();
        ASSERT_TRUE(QFile::copy(file, folder + u'/' + QFileInfo(file).fileName()));
    }
    WriteArchive(folder, 2);
    ASSERT_EQ(RunBatch({"--folder", folder, "export"}).status, 0);
    for (const auto& [name, bytes] : {std::pair{"Impostazioni.ini", "[Margini Busta]\r\nSuperiore=10\r\n"},
                                      std::pair{"Documenti_Allegati/pratiche/fattura.pdf", "%PDF-1.4"}}) {
        QFile file(folder + u'/' + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) > 0);
    }

    std::map<QString, QByteArray> before;
    QStringList names;
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next();
        QFile in(file);
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        before[file] = in.readAll();
        names << QDir(folder).relativeFilePath(file);
    }
    for (const char* name : {"Velmora", "velmora-batch", "Guida.pdf", "unins000.dll", "Archivio_Dati.pro",
                             "Archivio_Dati.xls", "Impostazioni.ini", "Documenti_Allegati/pratiche/fattura.pdf"})
        ASSERT_TRUE(names.contains(QLatin1String(name))) << name;
    names << QStringLiteral("nuovo.pdf") << QStringLiteral("Documenti_Allegati/nuovo.pdf");

    TempFolder elsewhere;
    ASSERT_TRUE(QFile::link(folder, elsewhere.File(QStringLiteral("cartella"))));
    for (const QString& name : names) {
        const QString fileLink = elsewhere.File(QStringLiteral("collegamento-") + QString(name).replace(u'/', u'-'));
        ASSERT_TRUE(QFile::link(folder + u'/' + name, fileLink));
        const QString outputs[] = {folder + u'/' + name, fileLink, elsewhere.File(QStringLiteral("cartella/") + name),
                                   folder + QStringLiteral("/Documenti_Allegati/../") + name};
        for (const QString& output : outputs) {
            const QStringList commands[] = {{"--pdf", output, "summary"}, {"export", output}};
            for (const QStringList& command : commands) {
                const Outcome run = RunBatch(QStringList{"--folder", folder} + command);
                if (command[0] == "export" && name == "Archivio_Dati.xls") {
                    EXPECT_EQ(run.status, 0) << S(output) << S(run.err);
                    continue;
                }
                SCOPED_TRACE(S(command.join(u' ')));
                EXPECT_EQ(run.status, 1);
                EXPECT_TRUE(run.err.contains(QStringLiteral("è nella cartella del programma (%1)").arg(name)))
                    << S(run.err);
            }
        }
    }
    QDirIterator after(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    std::size_t count = 0;
    while (after.hasNext()) {
        const QString file = after.next();
        QFile in(file);
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        EXPECT_EQ(in.readAll(), before[file]) << S(file);
        ++count;
    }
    EXPECT_EQ(count, before.size());
}

// Every write, the flush and the close reach their target or the run fails:
// a device that takes nothing gives exit status 1.
TEST(BatchOutput, AFullDeviceIsAFailure) {
    TempFolder folder;
    WriteArchive(folder.Path(), 2);
    const Outcome run = RunBatch({"--folder", folder.Path(), "--pdf", "/dev/full", "summary"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("/dev/full"))) << S(run.err);
}

// Copies are drawn again from the one set of prepared pages; a number of
// copies beyond the print dialog's is refused at once.
TEST(BatchOutput, CopiesAreBounded) {
    TempFolder folder;
    WriteArchive(folder.Path(), 2);
    const QString pdf = OutsideFile(QStringLiteral("r.pdf"));
    for (const char* copies : {"2147483647", "10000", "0", "tre"}) {
        SCOPED_TRACE(copies);
        const Outcome run = RunBatch({"--folder", folder.Path(), "--pdf", pdf, "--copies", copies, "summary"});
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.contains(QStringLiteral("numero di copie non valido: %1 (da 1 a 9999)").arg(copies)))
            << S(run.err);
        EXPECT_FALSE(QFileInfo::exists(pdf));
    }
    ASSERT_EQ(RunBatch({"--folder", folder.Path(), "--pdf", pdf, "--copies", "3", "summary"}).status, 0);
    for (int page = 1; page <= 3; ++page)
        EXPECT_EQ(S(PageLines(pdf, page).value(0)), "Riepilogo etichette in archivio") << page;
    EXPECT_TRUE(PageLines(pdf, 4).isEmpty());
}

// A FIFO, folder, device link or socket in place of an archive: a failure
// that names the file and what it is, at once (nothing waits on the FIFO),
// and no document.
TEST(BatchInput, ASpecialFileAsAnArchiveIsNamedAndNothingWaits) {
    const QStringList commands[] = {{"sheet", "1"}, {"record", "1"}, {"summary"}};
    for (const auto& special : testing_support::kSpecialFiles) {
        for (const QStringList& command : commands) {
            SCOPED_TRACE(std::string(special.name) + " " + S(command.join(u' ')));
            TempFolder folder;
            const QString archive = folder.File(command[0] == "sheet" ? "Archivio_Etichette.pro" : kArchive);
            ASSERT_TRUE(special.make(archive));
            const QString pdf = OutsideFile(QStringLiteral("r.pdf"));
            const Outcome run = RunBatch(QStringList{"--folder", folder.Path(), "--pdf", pdf} + command);
            EXPECT_EQ(run.status, 1);
            EXPECT_TRUE(run.err.contains(archive) && run.err.contains(QString::fromLatin1(special.word))) << S(run.err);
            EXPECT_FALSE(QFileInfo::exists(pdf));
        }
    }
}

// SIGTERM, Ctrl-C or a closed terminal (SIGHUP) while the document is being
// written: the tool ends as the signal says, and neither the document nor its
// temporary file is left beside it; an earlier document of that name stays
// whole.
TEST(BatchOutput, ASignalMidRunLeavesNoTemporaryFile) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        TempFolder folder;
        TempFolder out;
        WriteArchive(folder.Path(), 30);
        out.Write(QStringLiteral("r.pdf"), "documento di prima");
        const QString pdf = out.File(QStringLiteral("r.pdf"));
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            const QByteArray folderArg = QFile::encodeName(folder.Path()), pdfArg = QFile::encodeName(pdf);
            execl(VELMORA_BATCH, VELMORA_BATCH, "--folder", folderArg.constData(), "--pdf", pdfArg.constData(),
                  "--copies", "9999", "summary", static_cast<char*>(nullptr));
            _exit(127);
        }
        // Until the tool has made its temporary file: it is then writing.
        const auto entries = [&] { return QDir(out.Path()).entryList(QDir::Files | QDir::Hidden); };
        int status = 0;
        bool running = true;
        while (entries().size() < 2 && (running = waitpid(pid, &status, WNOHANG) == 0)) usleep(10000);
        ASSERT_TRUE(running) << "the tool ended before writing";
        ASSERT_EQ(kill(pid, signal), 0);
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal);
        EXPECT_EQ(entries(), QStringList{QStringLiteral("r.pdf")});
        EXPECT_EQ(out.Read(QStringLiteral("r.pdf")), "documento di prima");
    }
}

}  // namespace

namespace {

struct Tool {
    int status;
    QString out, err;
};

// velmora-batch as a process of its own.
Tool RunTool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral(VELMORA_BATCH), arguments);
    EXPECT_TRUE(tool.waitForFinished(120000));
    return {tool.exitCode(), QString::fromUtf8(tool.readAllStandardOutput()),
            QString::fromUtf8(tool.readAllStandardError())};
}

std::vector<DataRecord> Records(const QString& folder) {
    std::vector<DataRecord> records;
    DataRecordFile file(folder);
    while (!file.AtEnd()) {
        records.emplace_back();
        file.Read(records.back());
    }
    return records;
}

TEST(BatchImport, AppendsTheRowsAndPrintsTheirNumbers) {
    TempFolder folder;
    WriteArchive(folder.Path(), 2);
    const QByteArray archive = folder.Read(kArchive);
    folder.Write(QStringLiteral("nuovi.csv"), "\xEF\xBB\xBF" "Nome,Tipo,Rigo 1,Fax\n"
                                              "Città,Postale,\"Via \"\"Roma\"\", 1\",0\n"
                                              "Perché,Postale,Via 2,0\n"
                                              "Li 中,Postale,Via 3,0\n");
    const QString csv = folder.File(QStringLiteral("nuovi.csv"));

    const Tool dry = RunTool({"--folder", folder.Path(), "import", csv, "--dry-run"});
    ASSERT_EQ(dry.status, 0) << S(dry.err);
    EXPECT_EQ(dry.out, csv + QStringLiteral(": 3 schede da importare, 1 avviso (UTF-8)\n"
                                            "avviso: riga 4, colonna 1 (Nome): lettere che l'archivio non può "
                                            "contenere, scritte come \"Li ?\" (中 → ?)\n"
                                            "colonne ignorate: Fax\n"
                                            "scheda 3: Città | Postale | Via \"Roma\", 1\n"
                                            "scheda 4: Perché | Postale | Via 2\n"
                                            "scheda 5: Li ? | Postale | Via 3\n"
                                            "prova: nessuna scheda aggiunta\n"));
    EXPECT_EQ(folder.Read(kArchive), archive) << "a dry run writes nothing";

    const Tool run = RunTool({"--folder", folder.Path(), "import", csv});
    ASSERT_EQ(run.status, 0) << S(run.err);
    EXPECT_TRUE(run.out.endsWith(QStringLiteral("aggiunte 3 schede in Archivio_Dati.pro: dalla 3 alla 5\n")))
        << S(run.out);
    const std::vector<DataRecord> records = Records(folder.Path());
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(folder.Read(kArchive).left(archive.size()), archive);
    const QStringList names = {"Città", "Perché", "Li ?"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(records[2 + i].Text(DataRecord::Nome), names[i]);
        EXPECT_EQ(records[2 + i].Text(DataRecord::Tipo), QStringLiteral("Postale"));
    }
    EXPECT_EQ(records[2].Text(DataRecord::Rigo01), QStringLiteral("Via \"Roma\", 1"));

    // One row, then none.
    const std::pair<QByteArray, QString> small[] = {
        {"Nome\nsesto\n", "aggiunta 1 scheda in Archivio_Dati.pro: la 6\n"},
        {"Nome\n\n", "nessuna scheda aggiunta in Archivio_Dati.pro\n"},
    };
    for (const auto& [bytes, said] : small) {
        folder.Write(QStringLiteral("piccolo.csv"), bytes);
        const Tool one = RunTool({"--folder", folder.Path(), "import", folder.File(QStringLiteral("piccolo.csv"))});
        EXPECT_EQ(one.status, 0) << S(one.err);
        EXPECT_TRUE(one.out.endsWith(said)) << S(one.out);
    }
    EXPECT_EQ(Records(folder.Path()).size(), 6u);
}

// Texts that a spreadsheet program would read as something else, brought in
// by velmora-batch import from a CSV file and written out by velmora-batch
// export: LibreOffice Calc reads every cell as the text that the archive
// stores, which is the text of the table.
TEST(BatchExport, ImportedTextsComeBackThroughCalcAsStored) {
    const QString soffice = testing_support::CalcProgram();
    if (soffice.isEmpty()) GTEST_SKIP() << "soffice not found: install libreoffice-calc-nogui to run this test";
    constexpr int kColumns = 9;
    const QStringList& texts = testing_support::TypedTexts();
    QByteArray csv = "Nome,Tipo,Rigo 1,Rigo 2,Rigo 3,Rigo 4,Rigo 5,Rigo 6,Note\n";
    for (QString text : texts) {
        const QString quoted = u'"' + text.replace(u'"', QStringLiteral("\"\"")) + u'"';
        csv += QStringList(kColumns, quoted).join(u',').toUtf8() + '\n';
    }
    TempFolder folder;
    folder.Write(QStringLiteral("tabella.csv"), csv);
    const Tool imported = RunTool({"--folder", folder.Path(), "import", folder.File(QStringLiteral("tabella.csv"))});
    ASSERT_EQ(imported.status, 0) << S(imported.err);
    const QString xls = OutsideFile(QStringLiteral("tabella.xls"));
    const Tool exported = RunTool({"--folder", folder.Path(), "export", xls});
    ASSERT_EQ(exported.status, 0) << S(exported.err);

    const QString read = testing_support::ConvertToCsv(soffice, xls, QFileInfo(xls).path(), ';');
    ASSERT_FALSE(read.isEmpty());
    const std::vector<testing_support::CsvRow> rows = testing_support::ReadCsv(read, ';');
    const std::vector<DataRecord> records = Records(folder.Path());
    ASSERT_EQ(records.size(), std::size_t(texts.size()));
    ASSERT_EQ(rows.size(), records.size() + 1);
    for (std::size_t r = 0; r < records.size(); ++r) {
        SCOPED_TRACE(S(texts[qsizetype(r)]));
        QStringList stored;
        for (int f = 0; f < kColumns; ++f)
            stored << testing_support::CalcShows(records[r].Text(DataRecord::Field(f)));
        EXPECT_EQ(S(testing_support::Texts(rows[r + 1]).join(u'|')), S(stored.join(u'|')));
        EXPECT_EQ(S(stored.join(u'|')),
                  S(QStringList(kColumns, testing_support::CalcShows(texts[qsizetype(r)])).join(u'|')));
        for (const testing_support::CsvField& field : rows[r + 1]) EXPECT_TRUE(field.quoted) << "not a text cell";
    }
}

// One over-long field refuses the whole file, naming its line, and the
// archive stays byte for byte; --truncate cuts the field at 250 bytes.
TEST(BatchImport, AnOverLongFieldIsRefusedOrCut) {
    TempFolder folder;
    WriteArchive(folder.Path(), 3);
    const QByteArray archive = folder.Read(kArchive);
    const QByteArray longLine = QByteArray(200, 'a') + QByteArray(60, '\xe8');  // Windows-1252
    folder.Write(QStringLiteral("lungo.csv"), "Nome;Rigo 1;Note\r\nuno;Via 1;n\r\ndue;" + longLine + ";n\r\n");
    const QString csv = folder.File(QStringLiteral("lungo.csv"));

    const Outcome refused = RunBatch({"--folder", folder.Path(), "import", csv});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains(
        QStringLiteral("riga 3, colonna 2 (Rigo 1): testo di 260 caratteri, l'archivio ne contiene al massimo 250")))
        << S(refused.err);
    EXPECT_EQ(folder.Read(kArchive), archive);

    const Tool cut = RunTool({"--folder", folder.Path(), "import", csv, "--truncate"});
    ASSERT_EQ(cut.status, 0) << S(cut.err);
    EXPECT_TRUE(cut.out.endsWith(QStringLiteral("aggiunte 2 schede in Archivio_Dati.pro: dalla 4 alla 5\n")))
        << S(cut.out);
    const std::vector<DataRecord> records = Records(folder.Path());
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[4].Text(DataRecord::Nome), QStringLiteral("due"));
    EXPECT_EQ(records[4].field[DataRecord::Rigo01].Length(), 250);
    EXPECT_EQ(records[4].Text(DataRecord::Rigo01), QString(200, u'a') + QString(50, u'è'));
}

// A refused file says why and nothing else, naming the line; a file with
// warnings tells each with its line, counts them and stores what it said.
TEST(BatchImport, RefusalsAndWarningsNameTheirLines) {
    TempFolder folder;
    WriteArchive(folder.Path(), 1);
    const QByteArray archive = folder.Read(kArchive);
    struct Case {
        const char* what;
        QByteArray bytes;
        int status;
        QString out;
        QString err;
    };
    const QString csv = folder.File(QStringLiteral("righe.csv"));
    const Case cases[] = {
        {"a quote left open", "Nome;Tipo;Rigo 1\nRossi;Postale;\"Via Roma 1\nBianchi;Postale;Via 2\n", 1, "",
         "velmora-batch: importazione rifiutata, nessuna scheda aggiunta:\n"
         "riga 2, colonna 3 (Rigo 1): virgolette aperte e mai chiuse: il resto del file sarebbe una cella sola\n"},
        {"no type, a NUL, UTF-8 in Windows-1252", QByteArray("Nome;Tipo;Rigo 1\r\nRos") + '\0' + "si;;Caff\xC3\xA8 \xE8\r\n", 0,
         csv + ": 1 scheda da importare, 3 avvisi (Windows-1252)\n"
               "avviso: riga 2, colonna 1 (Nome): caratteri di controllo tolti\n"
               "avviso: riga 2, colonna 3 (Rigo 1): testo in UTF-8 in un file letto come Windows-1252, scritto come "
               "\"CaffÃ¨ è\"\n"
               "avviso: riga 2: scheda senza tipo: da completare nell'archivio dati\n"
               "scheda 2: Rossi |  | CaffÃ¨ è\n"
               "prova: nessuna scheda aggiunta\n",
         ""},
    };
    for (const Case& c : cases) {
        folder.Write(QStringLiteral("righe.csv"), c.bytes);
        const Tool run = RunTool({"--folder", folder.Path(), "import", csv, "--dry-run"});
        EXPECT_EQ(run.status, c.status) << c.what;
        EXPECT_EQ(S(run.out), S(c.out)) << c.what;
        EXPECT_EQ(S(run.err), S(c.err)) << c.what;
        EXPECT_EQ(folder.Read(kArchive), archive) << c.what;
    }
}

// A file with a notice on every row prints the first hundred of each kind and
// one line for the rest, and counts them all.
TEST(BatchImport, PrintsTheFirstHundredNoticesAndCountsThemAll) {
    TempFolder folder;
    folder.Write(QStringLiteral("senza_nome.csv"), "Nome;Tipo;Rigo 1\n" + QByteArray(";t;via\n").repeated(300));
    folder.Write(QStringLiteral("celle.csv"), "Nome;Tipo;Rigo 1\n" + QByteArray("Rossi;t;via;x\n").repeated(300));

    const QString csv = folder.File(QStringLiteral("senza_nome.csv"));
    const Tool dry = RunTool({"--folder", folder.Path(), "import", csv, "--dry-run"});
    ASSERT_EQ(dry.status, 0) << S(dry.err);
    const QStringList out = dry.out.split(u'\n');
    EXPECT_EQ(out[0], csv + QStringLiteral(": 300 schede da importare, 300 avvisi (UTF-8)"));
    EXPECT_EQ(std::count_if(out.begin(), out.end(), [](const QString& line) { return line.startsWith(u"avviso: "); }),
              101);
    EXPECT_EQ(out[100], QStringLiteral("avviso: riga 101: scheda senza nome: non comparirà nella ricerca"));
    EXPECT_EQ(out[101], QStringLiteral("avviso: … e altri 200"));

    const Tool refused = RunTool({"--folder", folder.Path(), "import", folder.File(QStringLiteral("celle.csv"))});
    EXPECT_EQ(refused.status, 1);
    const QStringList err = refused.err.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(err.size(), 102) << S(refused.err.left(2000));
    EXPECT_EQ(err[0], QStringLiteral("velmora-batch: importazione rifiutata, nessuna scheda aggiunta:"));
    EXPECT_EQ(err[100], QStringLiteral("riga 101, colonna 4: la riga ha più celle dell'intestazione (3)"));
    EXPECT_EQ(err[101], QStringLiteral("… e altri 200"));
    EXPECT_FALSE(QFileInfo::exists(folder.File(kArchive)));
}

// The import's switches belong to it alone; a usage error writes nothing.
TEST(BatchImport, UsageErrorsWriteNothing) {
    TempFolder folder;
    WriteArchive(folder.Path(), 1);
    const QByteArray archive = folder.Read(kArchive);
    folder.Write(QStringLiteral("a.csv"), "Nome\nuno\n");
    const QString csv = folder.File(QStringLiteral("a.csv"));
    const QString pdf = OutsideFile(QStringLiteral("r.pdf"));
    const QStringList cases[] = {
        {"--pdf", pdf, "summary", "--dry-run"},
        {"export", "--truncate"},
        {"import"},
        {"import", csv, "altro.csv"},
        {"--pdf", pdf, "import", csv},
    };
    for (const QStringList& arguments : cases) {
        const Outcome run = RunBatch(QStringList{"--folder", folder.Path()} + arguments);
        EXPECT_EQ(run.status, 2) << S(arguments.join(u' ')) << S(run.err);
        EXPECT_TRUE(run.err.contains(QStringLiteral("import FILE.csv [--dry-run] [--truncate]"))) << S(run.err);
        EXPECT_EQ(folder.Read(kArchive), archive) << S(arguments.join(u' '));
        EXPECT_FALSE(QFileInfo::exists(pdf));
    }
}

// Two imports of 1,000 rows started at the same moment into one archive:
// 2,000 new records, each import's rows together, whole and in order.
TEST(BatchImport, TwoImportsAtOnceLoseAndSplitNothing) {
    TempFolder folder;
    WriteArchive(folder.Path(), 1);
    constexpr int kRows = 1000;
    const QString tags[] = {"A", "B"};
    for (const QString& tag : tags) {
        QByteArray csv = "Nome;Tipo;Rigo 1;Rigo 2;Note\n";
        for (int i = 0; i < kRows; ++i)
            csv += QStringLiteral("%1%2;Postale;Via %1 %2;Città;nota %2\n").arg(tag).arg(i).toUtf8();
        folder.Write(tag + QStringLiteral(".csv"), csv);
    }
    QProcess tools[2];
    for (int t = 0; t < 2; ++t)
        tools[t].start(QStringLiteral(VELMORA_BATCH), {"--folder", folder.Path(), "import", folder.File(tags[t] + ".csv")});
    for (QProcess& tool : tools) {
        ASSERT_TRUE(tool.waitForFinished(120000));
        EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    }
    const std::vector<DataRecord> records = Records(folder.Path());
    ASSERT_EQ(records.size(), 1u + 2 * kRows);
    for (int t = 0; t < 2; ++t) {
        const auto first = std::find_if(records.begin(), records.end(), [&](const DataRecord& r) {
            return r.Text(DataRecord::Nome) == tags[t] + QStringLiteral("0");
        });
        ASSERT_NE(first, records.end());
        const long long number = first - records.begin() + 1;
        EXPECT_TRUE(QString::fromUtf8(tools[t].readAllStandardOutput())
                        .contains(QStringLiteral("dalla %1 alla %2").arg(number).arg(number + kRows - 1)));
        ASSERT_LE(number - 1 + kRows, static_cast<long long>(records.size()));
        for (int i = 0; i < kRows; ++i) {
            const DataRecord& r = first[i];
            ASSERT_EQ(r.Text(DataRecord::Nome), tags[t] + QString::number(i)) << "import " << S(tags[t]) << " split at " << i;
            ASSERT_EQ(r.Text(DataRecord::Rigo01), QStringLiteral("Via %1 %2").arg(tags[t]).arg(i));
            ASSERT_EQ(r.Text(DataRecord::Rigo02), QStringLiteral("Città"));
            ASSERT_EQ(r.Text(DataRecord::Note), QStringLiteral("nota %1").arg(i));
        }
    }
}

// The report is the point of an import and of its dry run: when standard
// output cannot take it, the command fails, before it adds anything.
TEST(BatchImport, AReportThatCannotBeWrittenFailsTheImport) {
    for (const bool dryRun : {true, false}) {
        SCOPED_TRACE(dryRun ? "--dry-run" : "import");
        TempFolder folder;
        WriteArchive(folder.Path(), 2);
        const QByteArray archive = folder.Read(kArchive);
        folder.Write(QStringLiteral("nuovi.csv"), "Nome\nuno\ndue\n");
        QStringList arguments{"--folder", folder.Path(), "import", folder.File(QStringLiteral("nuovi.csv"))};
        if (dryRun) arguments << "--dry-run";
        QProcess tool;
        tool.setStandardOutputFile(QStringLiteral("/dev/full"));
        tool.start(QStringLiteral(VELMORA_BATCH), arguments);
        ASSERT_TRUE(tool.waitForFinished(60000));
        EXPECT_EQ(tool.exitCode(), 1);
        EXPECT_TRUE(tool.readAllStandardError().contains("standard output")) << "says why";
        EXPECT_EQ(folder.Read(kArchive), archive) << "nothing added";
    }
}

// An import killed (SIGKILL) at a random moment leaves the archive's records
// byte for byte and either all of its rows or none; a reader during the import
// never counts a row of it before it commits; the next append lands right
// after the committed records.
TEST(BatchImport, AnImportKilledAtAnyMomentAddsAllItsRowsOrNone) {
    constexpr int kRows = 100000;
    constexpr int kKills = 40;
    constexpr long long kOld = 3;
    TempFolder folder;
    QByteArray csv = "Nome;Tipo;Rigo 1;Note\n";
    for (int i = 0; i < kRows; ++i) csv += "N" + QByteArray::number(i) + ";Postale;Via " + QByteArray::number(i) + ";n\n";
    folder.Write(QStringLiteral("righe.csv"), csv);
    std::mt19937 random(20261211);
    int committed = 0, rolledBack = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        SCOPED_TRACE(kill);
        QFile::remove(folder.File(kArchive));
        WriteArchive(folder.Path(), kOld);
        const QByteArray before = folder.Read(kArchive);
        QProcess tool;
        tool.start(QStringLiteral(VELMORA_BATCH), {"--folder", folder.Path(), "import", folder.File(QStringLiteral("righe.csv"))});
        ASSERT_TRUE(tool.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        const int after = std::uniform_int_distribution<int>(0, 900)(random);
        while (clock.elapsed() < after && tool.state() == QProcess::Running) {
            const long long seen = DataRecordFile(folder.Path()).RecordCount();
            ASSERT_TRUE(seen == kOld || seen == kOld + kRows) << "a reader saw " << seen << " records";
            QThread::msleep(5);
        }
        tool.kill();
        tool.waitForFinished();

        const long long count = DataRecordFile(folder.Path()).RecordCount();
        ASSERT_TRUE(count == kOld || count == kOld + kRows) << count << " records";
        (count == kOld ? rolledBack : committed)++;
        DataRecordFile file(folder.Path());
        DataRecord next;
        next.SetText(DataRecord::Nome, QStringLiteral("dopo"));
        file.Append(next);
        file.Close();
        QFile archive(folder.File(kArchive));
        ASSERT_TRUE(archive.open(QIODevice::ReadOnly));
        ASSERT_EQ(archive.read(before.size()), before) << "the old records byte for byte";
        ASSERT_EQ(archive.size(), (count + 1) * qint64(sizeof(DataRecord))) << "the next append right after them";
        DataRecord record;
        if (count > kOld) {
            archive.seek(kOld * qint64(sizeof record));
            archive.read(reinterpret_cast<char*>(&record), sizeof record);
            EXPECT_EQ(record.Text(DataRecord::Nome), QStringLiteral("N0"));
        }
        archive.seek(count * qint64(sizeof record));
        archive.read(reinterpret_cast<char*>(&record), sizeof record);
        EXPECT_EQ(record.Text(DataRecord::Nome), QStringLiteral("dopo"));
        EXPECT_FALSE(QFile::exists(folder.File(kArchive + QStringLiteral(".journal"))));
    }
    std::printf("%d imports killed before their commit, %d after\n", rolledBack, committed);
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
            const QString pdf = OutsideFile(QStringLiteral("alone%1.pdf").arg(n));
            ASSERT_EQ(RunBatch({"--folder", folder.Path(), "--pdf", pdf, v.verb, QString::number(n)}).status, 0);
            alone.push_back(PdfWords(pdf));
            ASSERT_FALSE(alone.back().empty());
        }
        for (const Case& c : ranges) {
            SCOPED_TRACE(std::string(v.verb) + " " + c.range);
            const QString pdf = OutsideFile(QStringLiteral("range.pdf"));
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
        const QString pdf = OutsideFile(QStringLiteral("fuori.pdf"));
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
    const QString pdf = OutsideFile(QStringLiteral("p.pdf"));
    // Each page is prepared as it is drawn.
    const QString shown = QStringLiteral(
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

namespace {

// x' = x × scale + offset, in millimetres from the paper's top left corner.
double Calibrated(double mm, double offset, double percent) { return mm * percent / 100 + offset; }

// Every word of a label sheet moves and stretches by the calibration given
// for the run, from the paper's corner; the other documents take none.
TEST(BatchCalibration, EveryWordOfALabelSheetMovesByTheCalibrationGiven) {
    struct Case {
        const char* given;
        double dx, dy, sx, sy;
    };
    const Case cases[] = {
        {"1.5,-0.8", 1.5, -0.8, 100, 100},
        {"0,0,100.5,100.5", 0, 0, 100.5, 100.5},
        {"-2,3.14,99,101.96", -2, 3.1, 99, 102},
    };
    for (const NumberedVerb& v : {kNumberedVerbs[0], kNumberedVerbs[1]}) {
        TempFolder folder;
        v.write(folder.Path(), 1);
        const QString plain = OutsideFile(QStringLiteral("plain.pdf"));
        ASSERT_EQ(RunBatch({"--folder", folder.Path(), "--pdf", plain, v.verb, "1"}).status, 0);
        const std::vector<PdfWord> before = PdfWords(plain);
        ASSERT_GE(before.size(), 15u);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(v.verb) + " " + c.given);
            const QString pdf = OutsideFile(QStringLiteral("calibrated.pdf"));
            const Outcome run = RunBatch({"--folder", folder.Path(), "--calibration", c.given, "--pdf", pdf, v.verb, "1"});
            ASSERT_EQ(run.status, 0) << S(run.err);
            testing_support::ExpectSoundPdf(pdf);
            const std::vector<PdfWord> after = PdfWords(pdf);
            ASSERT_EQ(after.size(), before.size());
            for (std::size_t i = 0; i < after.size(); ++i) {
                EXPECT_EQ(after[i].text, before[i].text);
                EXPECT_NEAR(after[i].left, Calibrated(before[i].left, c.dx, c.sx), 0.05) << S(after[i].text);
                EXPECT_NEAR(after[i].right, Calibrated(before[i].right, c.dx, c.sx), 0.05) << S(after[i].text);
                EXPECT_NEAR(after[i].top, Calibrated(before[i].top, c.dy, c.sy), 0.05) << S(after[i].text);
                EXPECT_NEAR(after[i].bottom, Calibrated(before[i].bottom, c.dy, c.sy), 0.05) << S(after[i].text);
            }
        }
    }
}

TEST(BatchCalibration, BadValuesAreRefusedWithStatusTwoAndWriteNothing) {
    TempFolder folder;
    WriteAddresses(folder.Path(), 1);
    struct Case {
        const char* verb;
        const char* given;
        const char* told;
    };
    const Case cases[] = {
        {"record", "1", "calibrazione non valida: \"1\" (DX,DY oppure DX,DY,SX,SY"},
        {"record", "1,2,3", "calibrazione non valida: \"1,2,3\""},
        {"record", "1,2,100,100,0", "calibrazione non valida: \"1,2,100,100,0\""},
        {"record", "", "calibrazione non valida: \"\""},
        {"record", "a,1", "calibrazione non valida: \"a\" non è un numero"},
        {"record", "1,", "calibrazione non valida: \"\" non è un numero"},
        {"record", "nan,0", "calibrazione non valida: \"nan\" non è un numero"},
        {"record", "inf,0", "calibrazione non valida: \"inf\" non è un numero"},
        {"sheet", "10.1,0", "calibrazione non valida: spostamento fuori dai limiti: 10.1 mm (da -10 a 10)"},
        {"sheet", "0,-11", "calibrazione non valida: spostamento fuori dai limiti: -11 mm (da -10 a 10)"},
        {"calibrazione", "0,0,97.9,100", "calibrazione non valida: scala fuori dai limiti: 97.9 % (da 98 a 102)"},
        {"calibrazione", "0,0,100,102.1", "calibrazione non valida: scala fuori dai limiti: 102.1 % (da 98 a 102)"},
        {"envelope", "1,1", "--calibration vale solo per sheet, record e calibrazione"},
        {"summary", "1,1", "--calibration vale solo per sheet, record e calibrazione"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.verb) + " " + c.given);
        const QString pdf = OutsideFile(QStringLiteral("refused.pdf"));
        QFile::remove(pdf);
        QStringList arguments{"--folder", folder.Path(), "--calibration", c.given, "--pdf", pdf, c.verb};
        if (QLatin1String(c.verb) == QLatin1String("record") || QLatin1String(c.verb) == QLatin1String("sheet") ||
            QLatin1String(c.verb) == QLatin1String("envelope"))
            arguments << "1";
        const Outcome run = RunBatch(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("velmora-batch: ") + QString::fromUtf8(c.told))) << S(run.err);
        EXPECT_FALSE(QFile::exists(pdf));
    }
}

// A printer's stored calibration goes with the label sheets printed on it,
// unless the run gives its own; envelopes and summaries take none.
TEST(BatchCalibration, APrintersStoredCalibrationGoesWithItsLabelSheets) {
    testing_support::UseFakePrinters printers({QStringLiteral("Ufficio"), QStringLiteral("Magazzino")});
    TempFolder folder;
    WriteAddresses(folder.Path(), 1);
    WriteSheetPages(folder.Path(), 1);
    const calibration::Calibration ufficio{15, -8, 1005, 998};
    calibration::Write(folder.Folder(), QStringLiteral("Ufficio"), ufficio);
    struct Case {
        QStringList arguments;
        const char* printer;
        calibration::Calibration expected;
    };
    const Case cases[] = {
        {{"--printer", "ufficio", "sheet", "1"}, "Ufficio", ufficio},
        {{"--printer", "default", "record", "1"}, "Ufficio", ufficio},
        {{"--printer", "Ufficio", "calibrazione"}, "Ufficio", ufficio},
        {{"--printer", "Magazzino", "record", "1"}, "Magazzino", {}},
        {{"--printer", "Ufficio", "--calibration", "-1,2", "sheet", "1"}, "Ufficio", {-10, 20, 1000, 1000}},
        {{"--printer", "Ufficio", "envelope", "1"}, "Ufficio", {}},
        {{"--printer", "Ufficio", "summary"}, "Ufficio", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(S(c.arguments.join(u' ')));
        printers.printers->jobs.clear();
        const Outcome run = RunBatch(QStringList{"--folder", folder.Path()} + c.arguments);
        ASSERT_EQ(run.status, 0) << S(run.err);
        ASSERT_EQ(printers.printers->jobs.size(), 1u);
        EXPECT_EQ(printers.printers->jobs[0].printer, QLatin1String(c.printer));
        EXPECT_EQ(printers.printers->jobs[0].calibration, c.expected);
    }
}

// The test sheet, as poppler draws it: each label's outline where the label
// sheet puts the label and a cross at its centre, moved and stretched as the
// calibration says, within 0.1 mm; and its caption names what it was printed
// with.
TEST(BatchCalibration, TheTestSheetDrawsEveryLabelWhereTheSheetPutsIt) {
    constexpr int kDpi = 400;
    constexpr double kPixelsPerMm = kDpi / 25.4;
    struct Case {
        const char* given;  // null: none
        double dx, dy, sx, sy;
        const char* caption;
    };
    const Case cases[] = {
        {nullptr, 0, 0, 100, 100, "Documento PDF: spostamento 0 / 0 mm, scala 100 / 100 %"},
        {"1.5,-0.8,100.5,99.5", 1.5, -0.8, 100.5, 99.5, "Documento PDF: spostamento 1,5 / -0,8 mm, scala 100,5 / 99,5 %"},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given ? c.given : "none");
        const QString pdf = OutsideFile(QStringLiteral("prova.pdf"));
        QStringList arguments{"--folder", folder.Path(), "--pdf", pdf, "calibrazione"};
        if (c.given) arguments = QStringList{"--calibration", c.given} + arguments;
        const Outcome run = RunBatch(arguments);
        ASSERT_EQ(run.status, 0) << S(run.err);
        testing_support::ExpectSoundPdf(pdf);
        // The caption stands under the title in the first label.
        std::vector<PdfWord> first;
        for (const PdfWord& word : PdfWords(pdf))
            if (word.right < 72 && word.top > 12 && word.bottom < 20) first.push_back(word);
        std::sort(first.begin(), first.end(), [](const PdfWord& a, const PdfWord& b) {
            return std::abs(a.top - b.top) > 0.5 ? a.top < b.top : a.left < b.left;
        });
        QStringList caption;
        for (const PdfWord& word : first) caption << word.text;
        EXPECT_EQ(S(caption.join(u' ')), c.caption);

        QProcess raster;
        const QString image = OutsideFile(QStringLiteral("prova"));
        raster.start(QStringLiteral("pdftoppm"), {"-gray", "-r", QString::number(kDpi), "-singlefile", pdf, image});
        ASSERT_TRUE(raster.waitForFinished(120000));
        QFile file(image + QStringLiteral(".pgm"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        // A binary PGM: "P5", width, height, maximum, one byte a pixel.
        const QByteArray pgm = file.readAll();
        QList<QByteArray> head = pgm.left(64).simplified().split(' ');
        ASSERT_GE(head.size(), 4);
        ASSERT_EQ(head[0], "P5");
        const int width = head[1].toInt(), height = head[2].toInt();
        const qsizetype start = pgm.size() - qsizetype(width) * height;
        const auto dark = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < width && y < height && uchar(pgm[start + qsizetype(y) * width + x]) < 128;
        };
        // The centre of the dark pixels of a box, in millimetres.
        const auto centroid = [&](QRectF mm) {
            double sx = 0, sy = 0;
            long long n = 0;
            for (int y = int(mm.top() * kPixelsPerMm); y <= int(mm.bottom() * kPixelsPerMm); ++y)
                for (int x = int(mm.left() * kPixelsPerMm); x <= int(mm.right() * kPixelsPerMm); ++x)
                    if (dark(x, y)) sx += x + 0.5, sy += y + 0.5, ++n;
            EXPECT_GT(n, 0) << "nothing drawn in the box";
            return QPointF(sx / std::max(1LL, n) / kPixelsPerMm, sy / std::max(1LL, n) / kPixelsPerMm);
        };
        const auto at = [&](QPointF p) {
            return QPointF(Calibrated(p.x(), c.dx, c.sx), Calibrated(p.y(), c.dy, c.sy));
        };
        for (int slot = 1; slot <= label_grid::kSlots; ++slot) {
            SCOPED_TRACE(slot);
            const QRectF label = label_grid::LabelRectMm(slot).translated(label_grid::kMargin, label_grid::kMargin);
            const QPointF centre = at(label.center());
            const QPointF cross = centroid(QRectF(centre - QPointF(5.5, 5.5), QSizeF(11, 11)));
            EXPECT_NEAR(cross.x(), centre.x(), 0.1);
            EXPECT_NEAR(cross.y(), centre.y(), 0.1);
            // Each edge of the outline across its middle, in a strip that
            // holds no other line.
            const QPointF left = at(QPointF(label.left(), label.center().y()));
            const QPointF right = at(QPointF(label.right(), label.center().y()));
            const QPointF top = at(QPointF(label.center().x(), label.top()));
            const QPointF bottom = at(QPointF(label.center().x(), label.bottom()));
            EXPECT_NEAR(centroid(QRectF(left.x() - 0.8, left.y() - 3, 1.6, 6)).x(), left.x(), 0.1);
            EXPECT_NEAR(centroid(QRectF(right.x() - 0.8, right.y() - 3, 1.6, 6)).x(), right.x(), 0.1);
            EXPECT_NEAR(centroid(QRectF(top.x() + 8, top.y() - 0.8, 6, 1.6)).y(), top.y(), 0.1);
            EXPECT_NEAR(centroid(QRectF(bottom.x() + 8, bottom.y() - 0.8, 6, 1.6)).y(), bottom.y(), 0.1);
        }
    }
}

// On a system with no font at all (fontconfig configured with no folder, no
// fonts/ beside the tool), Qt draws the text as boxes of a face without
// tables: the tool writes the page as the screen would show it, and neither
// crashes nor leaves its temporary file behind.
TEST(BatchFonts, NoFontAtAllStillWritesTheDocument) {
    TempFolder tool;
    const QString batch = tool.File(QStringLiteral("velmora-batch"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELMORA_BATCH), batch));
    tool.Write(QStringLiteral("empty.conf"), "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n");
    TempFolder folder;
    WriteArchive(folder.Path(), 1);
    TempFolder out;
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FONTCONFIG_FILE"), tool.File(QStringLiteral("empty.conf")));
    run.setProcessEnvironment(env);
    run.start(batch, {"--folder", folder.Path(), "--pdf", out.File(QStringLiteral("r.pdf")), "summary"});
    ASSERT_TRUE(run.waitForFinished(60000));
    EXPECT_EQ(run.exitStatus(), QProcess::NormalExit) << "signal " << run.exitCode();
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    EXPECT_EQ(QDir(out.Path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("r.pdf")});
}

// The program's own fonts are read when the first page is laid out, not at
// every start: a font file that cannot be read is named by a run that lays
// out a page, once, and by no run that lays out none (a refused command, an
// export).
TEST(BatchFonts, TheFontFilesAreReadWhenTheFirstPageIsLaidOut) {
    TempFolder tool;
    const QString batch = tool.File(QStringLiteral("velmora-batch"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELMORA_BATCH), batch));
    ASSERT_TRUE(QDir(tool.Path()).mkdir(QStringLiteral("fonts")));
    tool.Write(QStringLiteral("fonts/Rotto.ttf"), "no font at all");
    const QString unread = QStringLiteral("velmora-batch: font non leggibile: ") + tool.File(QStringLiteral("fonts/Rotto.ttf"));
    TempFolder folder;
    WriteArchive(folder.Path(), 3);
    TempFolder out;
    const auto run = [&](const QStringList& arguments) {
        QProcess process;
        process.start(batch, QStringList{"--folder", folder.Path()} + arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        return Tool{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                    QString::fromUtf8(process.readAllStandardError())};
    };
    const struct {
        const char* what;
        QStringList arguments;
        int status;
        int named;  // how many times the unreadable file is named
    } cases[] = {
        {"a refused output", {"--pdf", folder.File(kArchive), "summary"}, 1, 0},
        {"a usage error", {"--pdf", out.File(QStringLiteral("u.pdf")), "summary", "troppo"}, 2, 0},
        {"an export", {"export", out.File(QStringLiteral("e.xls"))}, 0, 0},
        {"a summary", {"--pdf", out.File(QStringLiteral("s.pdf")), "summary"}, 0, 1},
        {"three records", {"--pdf", out.File(QStringLiteral("r.pdf")), "record", "1-3"}, 0, 1},
    };
    for (const auto& c : cases) {
        const Tool done = run(c.arguments);
        EXPECT_EQ(done.status, c.status) << c.what << ": " << S(done.err);
        EXPECT_EQ(done.err.count(unread), c.named) << c.what << ": " << S(done.err);
    }
}

// --help shows the usage and --version the build's version, on standard
// output, and the run ends well.
TEST(BatchUsage, HelpAndVersionGoToStandardOutput) {
    const Tool help = RunTool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("uso: velmora-batch [--folder CARTELLA]"))) << S(help.out);
    EXPECT_TRUE(help.out.contains(QStringLiteral("velmora-batch --help | --version\n"))) << S(help.out);
    EXPECT_TRUE(help.out.contains(QStringLiteral("  import FILE.csv [--dry-run] [--truncate]\n"))) << S(help.out);
    EXPECT_EQ(help.err, QString());
    const Tool version = RunTool({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(S(version.out), "velmora-batch " + std::string(platform::kVersion) + "\n");
    EXPECT_EQ(version.err, QString());
}

}  // namespace
