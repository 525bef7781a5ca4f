#include "batch/Batch.h"

#include "core/folder/FileAccess.h"
#include "core/folder/IniFile.h"
#include "core/folder/ProgramFolder.h"
#include "print/templates/Busta.h"
#include "core/archive/DataRecord.h"
#include "core/archive/EnvelopeSettings.h"
#include "core/archive/ExportWriter.h"
#include "core/archive/ImportCsv.h"
#include "core/archive/PickerItem.h"
#include "print/templates/Riepilogo.h"
#include "print/engine/Model.h"
#include "print/engine/Prepared.h"
#include "print/engine/Printers.h"
#include "print/templates/CalibrationSheet.h"
#include "print/templates/LabelSheet.h"
#include "core/sheets/Calibration.h"
#include "core/sheets/SheetRecord.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <variant>

#include <cerrno>
#include <cstdio>

namespace batch {
namespace {

// A failure to report on standard error with exit status 1.
class Failure : public std::runtime_error {
public:
    explicit Failure(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// A command line this tool does not understand: exit status 2, with the usage.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// The most copies of one document, as in the print dialog.
constexpr int kMaxCopies = 9999;

struct Options {
    QString folder;
    QString pdf;
    QString printer;
    int copies = 1;
    bool quiet = false;
};

// A report prepared whole.
struct WholeReport {
    std::unique_ptr<report::TrepReport> report;
};

// A template with `count` pages that `prepare` makes one at a time: page i,
// from 0, becomes the template's only prepared page.
struct PageByPage {
    std::unique_ptr<report::TrepReport> report;
    long long count;
    std::function<void(long long)> prepare;
};

// What a printing command prints.
using Document = std::variant<WholeReport, PageByPage>;

report::TrepReport& ReportOf(Document& document) {
    return std::visit([](auto& kind) -> report::TrepReport& { return *kind.report; }, document);
}

// How a printing command makes its document; --pdf or --printer say where it
// goes.
using Produce = std::function<Document(const ProgramFolder&, const QStringList&)>;
// How a command that writes a file of its own writes it.
using Write = std::function<void(const ProgramFolder&, const QStringList&)>;

// A command: its name, its arguments as the usage shows them, how many it
// takes, and what it does.
struct Command {
    const char* name;
    const char* arguments;
    int minArguments;
    int maxArguments;
    std::variant<Produce, Write> action;
    // The switches of this command alone (--NAME); a Write gets those given
    // after its arguments, as typed. Every other command refuses them.
    QStringList switches = {};
    // Whether it prints label sheets, drawn through the printer's calibration.
    bool calibrated = false;
};

// What a numbered command calls the records it prints, for its messages.
struct Noun {
    const char* number;  // "numero di pagina"
    const char* word;    // "pagina", feminine
};
constexpr Noun kPage{"numero di pagina", "pagina"};
constexpr Noun kRecord{"numero di scheda", "scheda"};

// The records a numbered command prints, numbered from 1: "N", "A-B" or "all"
// (every record of the archive).
struct Range {
    long long first = 1;
    long long last = 0;
    bool all = false;
};

Range ParseRange(const QString& text, const Noun& noun) {
    if (text == QLatin1String("all")) return {1, 0, true};
    const auto number = [&](QStringView part) {
        bool ok = false;
        const long long n = part.toLongLong(&ok);
        if (!ok || n < 1) throw Failure(QStringLiteral("%1 non valido: %2").arg(QLatin1String(noun.number), text));
        return n;
    };
    const qsizetype dash = text.indexOf(QLatin1Char('-'));
    const Range range{number(QStringView(text).left(dash < 0 ? text.size() : dash)),
                      number(QStringView(text).mid(dash + 1))};
    if (range.first > range.last)
        throw Failure(QStringLiteral("intervallo non valido: %1 (il primo numero supera l'ultimo)").arg(text));
    return range;
}

// The progress line of a long run on standard error, rewritten in place;
// silent when standard error is not a terminal or with --quiet.
class Progress {
public:
    Progress(QTextStream& err, bool shown) : err_(err), shown_(shown) {}
    ~Progress() { End(); }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // `done` of `total` pages through `stage`; a run of one page shows nothing.
    void Show(const char* stage, long long done, long long total) {
        if (!shown_ || total < 2) return;
        const long long percent = done * 100 / total;
        if (stage == stage_ && percent == percent_) return;
        if (stage != stage_) End();
        stage_ = stage;
        percent_ = percent;
        err_ << "\rvelmora-batch: " << stage << ' ' << done << '/' << total << " (" << percent << "%)";
        err_.flush();
    }
    // Ends the line, so that what follows starts on a line of its own.
    void End() {
        if (stage_) err_ << "\n";
        err_.flush();
        stage_ = nullptr;
        percent_ = -1;
    }

private:
    QTextStream& err_;
    bool shown_;
    const char* stage_ = nullptr;
    long long percent_ = -1;
};

constexpr const char* kDrawing = "pagine disegnate";

// The records of the range `text` names in an archive that is only read; the
// whole range is checked when it is opened.
template <class Record>
class RecordRange {
public:
    RecordRange(const ProgramFolder& folder, const QString& text, const Noun& noun) {
        Range range = ParseRange(text, noun);
        try {
            file_.OpenForReading(folder.Path());
            const long long count = file_.RecordCount();
            if (range.all) range.last = count;
            if (range.last == 0)
                throw Failure(QStringLiteral("nessuna %1 in %2: l'archivio è vuoto")
                                  .arg(QLatin1String(noun.word), QLatin1String(Record::kFileName)));
            if (range.last > count)
                throw Failure(QStringLiteral("la %1 %2 non esiste in %3 (%4 in archivio)")
                                  .arg(QLatin1String(noun.word)).arg(range.last)
                                  .arg(QLatin1String(Record::kFileName)).arg(count));
        } catch (const FileError& error) {
            throw Failure(QString::fromStdString(error.what()));
        }
        first_ = range.first;
        count_ = range.last - range.first + 1;
    }

    long long Count() const { return count_; }
    // The range's record `i`, from 0.
    Record At(long long i) {
        Record record;
        try {
            file_.Seek(first_ - 1 + i);
            file_.Read(record);
        } catch (const FileError& error) {
            throw Failure(QString::fromStdString(error.what()));
        }
        return record;
    }

private:
    RecordFile<Record> file_;
    long long first_ = 1, count_ = 0;
};

// A preparation with errors ends the run with them.
void CheckPrepared(const report::PrepareResult& prepared) {
    if (!prepared) throw Failure(QStringLiteral("preparazione non riuscita: ") + prepared.errors.join(QStringLiteral("; ")));
}

// A numbered command's document: one page a record of its range, each
// prepared from the template when it is wanted.
template <class Record>
Document Pages(std::unique_ptr<report::TrepReport> report, const ProgramFolder& folder, const QString& range,
               const Noun& noun, std::function<void(const Record&)> fill) {
    auto records = std::make_shared<RecordRange<Record>>(folder, range, noun);
    const long long count = records->Count();
    return PageByPage{std::move(report), count,
                      [records, fill = std::move(fill)](long long page) { fill(records->At(page)); }};
}

// The label sheets of a range, one page each.
template <class Record>
Document Sheets(const ProgramFolder& folder, const QString& range, const Noun& noun, const QString& name,
                const std::function<label_sheet::Lines(const Record&)>& lines) {
    auto sheet = label_sheet::Build(name);
    auto filler = std::make_shared<label_sheet::Filler>(*sheet);
    return Pages<Record>(std::move(sheet), folder, range, noun, [filler, lines](const Record& record) {
        CheckPrepared(filler->FillAndPrepare(lines(record)));
    });
}

// Pages K of the label-page archive, as the sheet print window prints each.
Document Sheet(const ProgramFolder& folder, const QStringList& args) {
    return Sheets<SheetRecord>(folder, args[0], kPage, label_sheet::kPageName, label_sheet::PageLines);
}

// Records N of the data archive, each on all 24 labels of a page, as the
// single-record preview prints it.
Document Record(const ProgramFolder& folder, const QStringList& args) {
    return Sheets<DataRecord>(folder, args[0], kRecord, label_sheet::kRecordName, [](const DataRecord& record) {
        std::array<QString, label_sheet::kLines> label;
        for (int line = 1; line <= label_sheet::kLines; ++line) label[line - 1] = record.Text(DataRecord::Rigo(line));
        return label_sheet::OnEveryLabel(label);
    });
}

// The calibration test sheet; its caption is set once the printer is known.
Document TestSheet(const ProgramFolder&, const QStringList&) { return WholeReport{calibration_sheet::Build()}; }

// Records N of the data archive, each on an envelope, as the envelope window
// prints it with the settings of Impostazioni.ini, which is only read.
Document Envelope(const ProgramFolder& folder, const QStringList& args) {
    envelope_settings::Settings settings;
    try {
        settings = envelope_settings::Read(folder);
    } catch (const IniError& error) {
        throw Failure(QString::fromStdString(error.what()));
    }
    const auto margin = [](const QString& text, const QString& key) {
        const auto mm = envelope_settings::MarginMm(text);
        if (!mm)
            throw Failure(QStringLiteral("margine non valido in %1 (%2): %3")
                              .arg(envelope_settings::kFileName, key, text));
        return *mm;
    };
    const envelope::Placement placement{settings.landscape, margin(settings.top, envelope_settings::kTopKey),
                                        margin(settings.left, envelope_settings::kLeftKey)};
    auto report = envelope::Build();
    report::TrepReport* filled = report.get();
    return Pages<DataRecord>(std::move(report), folder, args[0], kRecord,
                             [filled, placement](const DataRecord& record) {
                                 envelope::Lines lines;
                                 for (int line = 1; line <= envelope::kLines; ++line)
                                     lines[line - 1] = record.Text(DataRecord::Rigo(line));
                                 CheckPrepared(envelope::FillAndPrepare(*filled, placement, lines));
                             });
}

// The summary of the data archive as the find window prints it right after
// opening; with "importa", as the import window does.
Document Summary(const ProgramFolder& folder, const QStringList& args) {
    if (!args.isEmpty() && args[0] != QLatin1String("importa"))
        throw UsageError(QStringLiteral("argomento sconosciuto per summary: %1").arg(args[0]));
    std::vector<PickerItem> items;
    try {
        // The pickers create a missing archive; here it is a failure.
        DataRecordFile file;
        file.OpenForReading(folder.Path());
        ReadPickerItems(file, items);
    } catch (const FileError& error) {
        throw Failure(QString::fromStdString(error.what()));
    }
    SortPickerItems(items);
    QStringList texts;
    for (const PickerItem& item : items) texts << item.text;
    auto report = summary::Build();
    CheckPrepared(summary::FillAndPrepare(*report, args.isEmpty() ? summary::kFindTitle : summary::kImportTitle,
                                          texts, QDateTime::currentDateTime()));
    return WholeReport{std::move(report)};
}

// Refuses an output that the program folder keeps for itself.
void RefuseProgramFile(const QString& output, const ProgramFolder& folder, const QString& allowed = {}) {
    if (const QString refusal = folder.WriteRefusal(output, allowed); !refusal.isEmpty()) throw Failure(refusal);
}

// The spreadsheet export of the data archive, as the export window writes it
// right after opening: into FILE (Archivio_Dati.xls of the folder by
// default), or to standard output for "-".
void Export(const ProgramFolder& folder, const QStringList& args) {
    try {
        if (args.value(0) == QLatin1String("-")) {
            QFile out;
            if (!out.open(stdout, QIODevice::WriteOnly)) throw Failure(QStringLiteral("impossibile scrivere l'uscita"));
            spreadsheet_export::ExportArchive(folder, out);
            if (!out.flush()) throw Failure(QStringLiteral("impossibile scrivere l'uscita"));
        } else {
            // FILE may be the folder's own export, never another of its files.
            const QString path = args.isEmpty() ? folder.File(spreadsheet_export::kFileName) : args[0];
            RefuseProgramFile(path, folder, spreadsheet_export::kFileName);
            spreadsheet_export::ExportArchive(folder, path);
        }
    } catch (const FileError& error) {
        throw Failure(QString::fromStdString(error.what()));
    }
}

// Fails the command when what it told standard output could not be written:
// the report is what a dry run is for, and the numbers what an import tells.
void CheckReport(QTextStream& out) {
    out.flush();
    if (out.status() == QTextStream::Ok && std::fflush(stdout) == 0 && !std::ferror(stdout)) return;
    const int error = errno;
    throw Failure(QStringLiteral("impossibile scrivere il resoconto sullo standard output: %1").arg(SystemReason(error)));
}

// Appends the rows of a CSV file to the data archive, created when missing,
// all of them in one write or none: the one command that changes an archive.
// Prints what it found and the numbers of the new records; with --dry-run what
// it would add, writing nothing.
void Import(const ProgramFolder& folder, const QStringList& args) {
    const bool dryRun = args.contains(QStringLiteral("--dry-run"));
    QTextStream out(stdout);
    try {
        const csv_import::Import import = csv_import::ReadFile(args[0], args.contains(QStringLiteral("--truncate")));
        // A refused file tells why alone: its counts would only mislead.
        if (!import.errors.empty()) {
            QStringList lines{QStringLiteral("importazione rifiutata, nessuna scheda aggiunta:")};
            lines << import.errors.Lines();
            throw Failure(lines.join(QStringLiteral("\n")));
        }
        out << args[0] << ": " << import.Summary() << " (" << import.encoding << ")\n";
        for (const QString& warning : import.warnings.Lines()) out << "avviso: " << warning << "\n";
        if (!import.ignoredColumns.isEmpty())
            out << "colonne ignorate: " << import.ignoredColumns.join(QStringLiteral(", ")) << "\n";
        CheckReport(out);
        const auto count = static_cast<long long>(import.rows.size());
        if (dryRun) {
            long long first = 1;
            if (QFileInfo::exists(folder.File(QLatin1String(DataRecord::kFileName)))) {
                DataRecordFile file;
                file.OpenForReading(folder.Path());
                first = file.RecordCount() + 1;
            }
            for (long long i = 0; i < count; ++i) {
                const DataRecord record = csv_import::RecordOf(import.rows[i]);
                QStringList fields;
                for (int f = 0; f < csv_import::kFields; ++f) fields << record.Text(DataRecord::Field(f));
                while (fields.last().isEmpty()) fields.removeLast();
                out << "scheda " << first + i << ": " << fields.join(QStringLiteral(" | ")) << "\n";
            }
            out << "prova: nessuna scheda aggiunta\n";
            CheckReport(out);
            return;
        }
        const auto [first, afterCommit] = csv_import::Append(folder.Path(), import);
        if (!afterCommit.isEmpty())
            QTextStream(stderr) << "velmora-batch: avviso: le schede sono state aggiunte, ma la chiusura di "
                                << DataRecord::kFileName << " non è riuscita: " << afterCommit << "\n";
        if (count == 0) out << "nessuna scheda aggiunta in " << DataRecord::kFileName << "\n";
        else if (count == 1) out << "aggiunta 1 scheda in " << DataRecord::kFileName << ": la " << first << "\n";
        else out << "aggiunte " << count << " schede in " << DataRecord::kFileName << ": dalla " << first << " alla "
                 << first + count - 1 << "\n";
        CheckReport(out);
    } catch (const FileError& error) {
        throw Failure(QString::fromStdString(error.what()));
    }
}

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"sheet", "K|K-K|all", 1, 1, Produce(Sheet), {}, true},
        {"record", "N|N-N|all", 1, 1, Produce(Record), {}, true},
        {"calibrazione", "", 0, 0, Produce(TestSheet), {}, true},
        {"envelope", "N|N-N|all", 1, 1, Produce(Envelope)},
        {"summary", "[importa]", 0, 1, Produce(Summary)},
        {"export", "[FILE|-]", 0, 1, Write(Export)},
        {"import", "FILE.csv [--dry-run] [--truncate]", 1, 1, Write(Import), {"dry-run", "truncate"}},
    };
    return commands;
}

QString Usage() {
    QString usage = QStringLiteral(
        "uso: velmora-batch [--folder CARTELLA] (--pdf FILE | --printer NOME) [--copies N] [--quiet]\n"
        "                   [--calibration DX,DY[,SX,SY]] COMANDO ARGOMENTI\n"
        "     velmora-batch [--folder CARTELLA] export [FILE|-]\n"
        "     velmora-batch [--folder CARTELLA] import FILE.csv [--dry-run] [--truncate]\n"
        "comandi:\n");
    for (const Command& c : Commands())
        usage += (QStringLiteral("  %1 %2").arg(QLatin1String(c.name), QLatin1String(c.arguments))).trimmed()
                     .prepend(QStringLiteral("  ")) + QLatin1Char('\n');
    usage += QStringLiteral("--printer default stampa sulla stampante predefinita.\n"
                            "K-K e N-N stampano un intervallo, all tutto l'archivio, in un solo documento.\n"
                            "--quiet toglie la riga di avanzamento.\n"
                            "sheet, record e calibrazione (il foglio di prova) stampano con la calibrazione della\n"
                            "stampante salvata in Impostazioni.ini; --calibration la sostituisce per questa volta:\n"
                            "spostamenti in millimetri (da -10 a 10, a destra e in basso) e scale in percentuale\n"
                            "(da 98 a 102), per esempio --calibration 1.5,-0.8,100.4,100.\n");
    return usage;
}

// The pages of a document in printing order, copies included; pages made one
// at a time are prepared as they are drawn, so that a long range holds only a
// few in memory.
report::PageStream PagesOf(Document& made, int copies) {
    report::PrintChoices choices;
    choices.copies = copies;
    if (const auto* whole = std::get_if<WholeReport>(&made))
        return report::PagesFor(whole->report->PreparedPages(), choices);
    PageByPage& paged = std::get<PageByPage>(made);
    report::PageOrder order(choices, int(paged.count));
    const long long count = order.Count();
    return {count, [&paged, order = std::move(order)](long long i) -> const report::PreparedPage& {
                paged.prepare(order.At(i));
                return paged.report->PreparedPages().front();
            }};
}

// The document is written once, beside its place under a temporary name, and
// takes the place of a regular file (or of the file a link points at) only
// when complete; anything else, such as a pipe or a device, is only written
// to, never replaced.
void WriteDocument(const report::PageStream& pages, const QString& title, const QString& path,
                   const calibration::Calibration& calibration, Progress& progress) {
    report::WritePdf(
        pages, path, title, [&](long long done, long long total) { progress.Show(kDrawing, done, total); },
        calibration);
    progress.End();
}

// A printer named on the command line must be installed; "default" is the
// system's default printer.
void CheckPrinter(const QString& printer) {
    if (printer.compare(QStringLiteral("default"), Qt::CaseInsensitive) == 0) return;
    const QStringList installed = report::Printers().Names();
    const bool known = std::any_of(installed.begin(), installed.end(), [&](const QString& name) {
        return name.compare(printer, Qt::CaseInsensitive) == 0;
    });
    if (!installed.isEmpty() && !known) throw Failure(QStringLiteral("Printer selected is not valid"));
}

// The calibration stored for a printer in the folder's settings.
calibration::Calibration StoredCalibration(const ProgramFolder& folder, const QString& printer) {
    try {
        return calibration::Read(folder, printer);
    } catch (const IniError& error) {
        throw Failure(QString::fromStdString(error.what()));
    }
}

// A label sheet document drawn through a calibration: the one given for this
// run, or the one stored for the printer it goes to (none for a PDF). The
// test sheet says which printer and values it is printed with.
void Calibrate(report::TrepReport& report, const std::optional<calibration::Calibration>& given,
               const ProgramFolder& folder, const Options& options) {
    if (given)
        report.PrintOptions.Calibration = [c = *given](const QString&) { return c; };
    else if (!options.printer.isEmpty())
        report.PrintOptions.Calibration = [folder](const QString& printer) { return StoredCalibration(folder, printer); };
    if (report.ReportOptions.Name != calibration_sheet::kReportName) return;
    QString printer;
    if (!options.printer.isEmpty()) {
        report::SelectPrinter(options.printer);
        printer = report::SelectedPrinter();
    }
    const calibration::Calibration values =
        report.PrintOptions.Calibration ? report.PrintOptions.Calibration(printer) : calibration::Calibration();
    CheckPrepared(calibration_sheet::FillAndPrepare(report, calibration_sheet::Caption(printer, values)));
}

void PrintOn(report::TrepReport& report, const report::PageStream& pages, const QString& printer,
             Progress& progress) {
    using Status = report::PrintOutcome::Status;
    report.PrintOptions.Printer = printer;
    report.PrintOptions.ShowDialog = false;
    const report::PageStream shown{pages.count, [&](long long i) -> const report::PreparedPage& {
                                       const report::PreparedPage& page = pages.page(i);
                                       progress.Show(kDrawing, i + 1, pages.count);
                                       return page;
                                   }};
    const report::PrintOutcome outcome = report::PrintWithoutDialog(report, &shown);
    progress.End();
    switch (outcome.status) {
    case Status::Printed: return;
    case Status::NoPrinters: throw Failure(QStringLiteral("You have no printers installed"));
    case Status::InvalidPrinter: throw Failure(QStringLiteral("Printer selected is not valid"));
    case Status::Failed: throw Failure(outcome.error);
    case Status::Cancelled: break;
    }
    throw Failure(QStringLiteral("stampa non eseguita"));
}

}  // namespace

int Run(const QStringList& arguments, const QString& defaultFolder, QTextStream& err, bool errIsTerminal) {
    auto usageError = [&](const QString& why) {
        err << "velmora-batch: " << why << "\n" << Usage();
        err.flush();
        return 2;
    };
    QCommandLineParser parser;
    const QCommandLineOption folderOption(QStringLiteral("folder"), {}, QStringLiteral("CARTELLA"), defaultFolder);
    const QCommandLineOption pdfOption(QStringLiteral("pdf"), {}, QStringLiteral("FILE"));
    const QCommandLineOption printerOption(QStringLiteral("printer"), {}, QStringLiteral("NOME"));
    const QCommandLineOption copiesOption(QStringLiteral("copies"), {}, QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption quietOption(QStringLiteral("quiet"));
    const QCommandLineOption calibrationOption(QStringLiteral("calibration"), {}, QStringLiteral("DX,DY[,SX,SY]"));
    parser.addOptions({folderOption, pdfOption, printerOption, copiesOption, quietOption, calibrationOption});
    QStringList switches;
    for (const Command& c : Commands()) switches += c.switches;
    for (const QString& name : switches) parser.addOption(QCommandLineOption(name));
    if (!parser.parse(QStringList{QStringLiteral("velmora-batch")} + arguments)) {
        // The parser fails on an unknown option or on an option whose value
        // is missing, which can only be the last argument.
        const QStringList unknown = parser.unknownOptionNames();
        return usageError(unknown.isEmpty() ? QStringLiteral("manca il valore di %1").arg(arguments.last())
                                            : QStringLiteral("opzione sconosciuta %1").arg(unknown.first()));
    }

    Options options;
    options.folder = parser.value(folderOption);
    options.pdf = parser.value(pdfOption);
    options.printer = parser.value(printerOption);
    options.quiet = parser.isSet(quietOption);
    bool ok = false;
    options.copies = parser.value(copiesOption).toInt(&ok);
    if (!ok || options.copies < 1 || options.copies > kMaxCopies)
        return usageError(QStringLiteral("numero di copie non valido: %1 (da 1 a %2)")
                              .arg(parser.value(copiesOption)).arg(kMaxCopies));
    const QStringList rest = parser.positionalArguments();
    if (rest.isEmpty()) return usageError(QStringLiteral("manca il comando"));
    const auto& commands = Commands();
    const auto command = std::find_if(commands.begin(), commands.end(),
                                      [&](const Command& c) { return rest[0] == QLatin1String(c.name); });
    if (command == commands.end()) return usageError(QStringLiteral("comando sconosciuto %1").arg(rest[0]));
    QStringList args = rest.mid(1);
    if (args.size() < command->minArguments || args.size() > command->maxArguments)
        return usageError(QStringLiteral("argomenti errati per %1").arg(QLatin1String(command->name)));
    for (const QString& name : switches) {
        if (!parser.isSet(name)) continue;
        if (!command->switches.contains(name))
            return usageError(QStringLiteral("--%1 non vale per %2").arg(name, rest[0]));
        args << QStringLiteral("--") + name;
    }
    std::optional<calibration::Calibration> calibration;
    if (parser.isSet(calibrationOption)) {
        if (!command->calibrated)
            return usageError(QStringLiteral("--calibration vale solo per sheet, record e calibrazione"));
        const calibration::Parsed parsed = calibration::Parse(parser.value(calibrationOption));
        if (!parsed.value) return usageError(parsed.error);
        calibration = parsed.value;
    }
    const auto* write = std::get_if<Write>(&command->action);
    if (write ? !(options.pdf.isEmpty() && options.printer.isEmpty())
              : options.pdf.isEmpty() == options.printer.isEmpty())
        return usageError(write ? QStringLiteral("%1 non stampa: niente --pdf o --printer").arg(rest[0])
                                : QStringLiteral("indicare --pdf oppure --printer"));

    Progress progress(err, errIsTerminal && !options.quiet);
    try {
        if (!QFileInfo(options.folder).isDir()) throw Failure(QStringLiteral("cartella inesistente: %1").arg(options.folder));
        if (write) {
            (*write)(ProgramFolder(options.folder), args);
            return 0;
        }
        if (!options.printer.isEmpty()) CheckPrinter(options.printer);
        const ProgramFolder folder(options.folder);
        if (!options.pdf.isEmpty()) RefuseProgramFile(options.pdf, folder);
        Document document = std::get<Produce>(command->action)(folder, args);
        if (command->calibrated) Calibrate(ReportOf(document), calibration, folder, options);
        const report::PageStream pages = PagesOf(document, options.copies);
        if (!options.pdf.isEmpty())
            WriteDocument(pages, ReportOf(document).ReportOptions.Name, options.pdf,
                          calibration.value_or(calibration::Calibration()), progress);
        else
            PrintOn(ReportOf(document), pages, options.printer, progress);
    } catch (const UsageError& error) {
        progress.End();
        return usageError(QString::fromStdString(error.what()));
    } catch (const std::exception& error) {
        progress.End();
        err << "velmora-batch: " << QString::fromStdString(error.what()) << "\n";
        err.flush();
        return 1;
    }
    return 0;
}

}  // namespace batch
