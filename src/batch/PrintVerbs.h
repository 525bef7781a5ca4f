#pragma once
#include "batch/Command.h"

// The documents of the printing verbs, each made from the folder's files,
// which are only read. The numbered verbs take a number, a range A-B or
// "all", and make each page only when it is asked for.
namespace batch {

// Pages K of the label-page archive, as the sheet print window prints each.
Document Sheet(const ProgramFolder& folder, const QStringList& args);
// Records N of the data archive, each on all 24 labels of a page, as the
// single-record preview prints it.
Document Record(const ProgramFolder& folder, const QStringList& args);
// The calibration test sheet; its caption is set once the printer is known.
Document TestSheet(const ProgramFolder& folder, const QStringList& args);
// Records N of the data archive, each on an envelope, as the envelope window
// prints it with the settings of Impostazioni.ini.
Document Envelope(const ProgramFolder& folder, const QStringList& args);
// The summary of the data archive as the find window prints it right after
// opening; with "importa", as the import window does.
Document Summary(const ProgramFolder& folder, const QStringList& args);

// A preparation with errors ends the run with them.
void CheckPrepared(const report::PrepareResult& prepared);

}  // namespace batch
