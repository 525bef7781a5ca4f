// The command line of velmora-batch: its options, the command table, and
// the one place where a failure becomes the exit status and its message.
#include "batch/Batch.h"

#include "batch/Command.h"
#include "batch/Output.h"
#include "batch/PrintVerbs.h"
#include "batch/Progress.h"
#include "batch/Transfer.h"
#include "core/platform/Version.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <optional>
#include <vector>

namespace batch {
namespace {

// The most copies of one document, as in the print dialog.
constexpr int kMaxCopies = 9999;

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
        "     velmora-batch --help | --version\n"
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

// Tells `text` on standard output: --help and --version.
void Tell(const QString& text) {
    QTextStream out(stdout);
    out << text;
    CheckStandardOutput(out);
}

// Does what the command line says. Throws UsageError for a command line this
// tool does not understand, and any other failure as it comes.
void Execute(const QStringList& arguments, const QString& defaultFolder, QTextStream& err, bool errIsTerminal) {
    QCommandLineParser parser;
    const QCommandLineOption folderOption(QStringLiteral("folder"), {}, QStringLiteral("CARTELLA"), defaultFolder);
    const QCommandLineOption pdfOption(QStringLiteral("pdf"), {}, QStringLiteral("FILE"));
    const QCommandLineOption printerOption(QStringLiteral("printer"), {}, QStringLiteral("NOME"));
    const QCommandLineOption copiesOption(QStringLiteral("copies"), {}, QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption quietOption(QStringLiteral("quiet"));
    const QCommandLineOption calibrationOption(QStringLiteral("calibration"), {}, QStringLiteral("DX,DY[,SX,SY]"));
    const QCommandLineOption helpOption(QStringLiteral("help"));
    const QCommandLineOption versionOption(QStringLiteral("version"));
    parser.addOptions({folderOption, pdfOption, printerOption, copiesOption, quietOption, calibrationOption, helpOption,
                       versionOption});
    QStringList switches;
    for (const Command& c : Commands()) switches += c.switches;
    for (const QString& name : switches) parser.addOption(QCommandLineOption(name));
    if (!parser.parse(QStringList{QStringLiteral("velmora-batch")} + arguments)) {
        // The parser fails on an unknown option or on an option whose value
        // is missing, which can only be the last argument.
        const QStringList unknown = parser.unknownOptionNames();
        throw UsageError(unknown.isEmpty() ? QStringLiteral("manca il valore di %1").arg(arguments.last())
                                           : QStringLiteral("opzione sconosciuta %1").arg(unknown.first()));
    }
    if (parser.isSet(helpOption)) return Tell(Usage());
    if (parser.isSet(versionOption))
        return Tell(QStringLiteral("velmora-batch %1\n").arg(QLatin1String(platform::kVersion)));

    Options options;
    options.folder = parser.value(folderOption);
    options.pdf = parser.value(pdfOption);
    options.printer = parser.value(printerOption);
    options.quiet = parser.isSet(quietOption);
    bool ok = false;
    options.copies = parser.value(copiesOption).toInt(&ok);
    if (!ok || options.copies < 1 || options.copies > kMaxCopies)
        throw UsageError(QStringLiteral("numero di copie non valido: %1 (da 1 a %2)")
                             .arg(parser.value(copiesOption))
                             .arg(kMaxCopies));
    const QStringList rest = parser.positionalArguments();
    if (rest.isEmpty()) throw UsageError(QStringLiteral("manca il comando"));
    const auto& commands = Commands();
    const auto command = std::find_if(commands.begin(), commands.end(),
                                      [&](const Command& c) { return rest[0] == QLatin1String(c.name); });
    if (command == commands.end()) throw UsageError(QStringLiteral("comando sconosciuto %1").arg(rest[0]));
    QStringList args = rest.mid(1);
    if (args.size() < command->minArguments || args.size() > command->maxArguments)
        throw UsageError(QStringLiteral("argomenti errati per %1").arg(QLatin1String(command->name)));
    for (const QString& name : switches) {
        if (!parser.isSet(name)) continue;
        if (!command->switches.contains(name))
            throw UsageError(QStringLiteral("--%1 non vale per %2").arg(name, rest[0]));
        args << QStringLiteral("--") + name;
    }
    std::optional<calibration::Calibration> calibration;
    if (parser.isSet(calibrationOption)) {
        if (!command->calibrated)
            throw UsageError(QStringLiteral("--calibration vale solo per sheet, record e calibrazione"));
        const calibration::Parsed parsed = calibration::Parse(parser.value(calibrationOption));
        if (!parsed.value) throw UsageError(parsed.error);
        calibration = parsed.value;
    }
    const auto* write = std::get_if<Write>(&command->action);
    if (write ? !(options.pdf.isEmpty() && options.printer.isEmpty())
              : options.pdf.isEmpty() == options.printer.isEmpty())
        throw UsageError(write ? QStringLiteral("%1 non stampa: niente --pdf o --printer").arg(rest[0])
                               : QStringLiteral("indicare --pdf oppure --printer"));

    Progress progress(err, errIsTerminal && !options.quiet);
    if (!QFileInfo(options.folder).isDir()) throw Failure(QStringLiteral("cartella inesistente: %1").arg(options.folder));
    if (write) return (*write)(ProgramFolder(options.folder), args);
    if (!options.printer.isEmpty()) CheckPrinter(options.printer);
    const ProgramFolder folder(options.folder);
    if (!options.pdf.isEmpty()) RefuseProgramFile(options.pdf, folder);
    Document document = std::get<Produce>(command->action)(folder, args);
    if (command->calibrated) Calibrate(ReportOf(document), calibration, folder, options);
    const report::PageStream pages = PagesOf(document, options.copies);
    if (!options.pdf.isEmpty())
        WriteDocument(pages, ReportOf(document).ReportOptions.Name, options.pdf, folder,
                      calibration.value_or(calibration::Calibration()), progress);
    else
        PrintOn(ReportOf(document), pages, options.printer, progress);
}

}  // namespace

// The progress line, if any, is ended as the failure leaves Execute.
int Run(const QStringList& arguments, const QString& defaultFolder, QTextStream& err, bool errIsTerminal) {
    try {
        Execute(arguments, defaultFolder, err, errIsTerminal);
        return 0;
    } catch (const UsageError& error) {
        err << "velmora-batch: " << QString::fromStdString(error.what()) << "\n" << Usage();
        err.flush();
        return 2;
    } catch (const std::exception& error) {
        err << "velmora-batch: " << QString::fromStdString(error.what()) << "\n";
        err.flush();
        return 1;
    }
}

}  // namespace batch
