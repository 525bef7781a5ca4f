#pragma once
#include "batch/Command.h"
#include "batch/Progress.h"
#include "core/sheets/Calibration.h"
#include "print/engine/Pages.h"

#include <optional>

class QTextStream;

// Where a document goes: a PDF file (--pdf) or a printer (--printer); and
// the one check that keeps the batch's files out of the program folder's.
namespace batch {

// Refuses an output that the program folder keeps for itself: the file of
// --pdf and of export FILE (which may be `allowed`, the folder's own export).
void RefuseProgramFile(const QString& output, const ProgramFolder& folder, const QString& allowed = {});

// Fails the command when what it told standard output could not be written:
// the report is what a dry run is for, the numbers what an import tells, the
// usage what --help is asked for.
void CheckStandardOutput(QTextStream& out);

// The pages of a document in printing order, copies included; pages made one
// at a time are prepared as they are drawn, so that a long range holds only a
// few in memory.
report::PageStream PagesOf(Document& made, int copies);

// A printer named on the command line must be installed; "default" is the
// system's default printer.
void CheckPrinter(const QString& printer);

// A label sheet document drawn through a calibration: the one given for this
// run, or the one stored for the printer it goes to (none for a PDF). The
// test sheet says which printer and values it is printed with.
void Calibrate(report::TrepReport& report, const std::optional<calibration::Calibration>& given,
               const ProgramFolder& folder, const Options& options);

// The document is written once, beside its place under a temporary name, and
// takes the place of a regular file (or of the file a link points at) only
// when complete; anything else, such as a pipe or a device, is only written
// to, never replaced; nothing in the program folder, checked in the folder
// it is written into.
void WriteDocument(const report::PageStream& pages, const QString& title, const QString& path,
                   const ProgramFolder& folder, const calibration::Calibration& calibration, Progress& progress);

// Prints the pages on the printer, as the report's print options say.
void PrintOn(report::TrepReport& report, const report::PageStream& pages, const QString& printer,
             Progress& progress);

}  // namespace batch
