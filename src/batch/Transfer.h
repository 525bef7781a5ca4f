#pragma once
#include "batch/Command.h"

// The verbs that write a file of their own: the spreadsheet export, and the
// import, the one verb that changes an archive.
namespace batch {

// The spreadsheet export of the data archive, as the export window writes it
// right after opening: into FILE (Archivio_Dati.xls of the folder by
// default), or to standard output for "-".
void Export(const ProgramFolder& folder, const QStringList& args);

// Appends the rows of a CSV file to the data archive, created when missing,
// all of them in one write or none. Prints what it found and the numbers of
// the new records; with --dry-run what it would add, writing nothing.
void Import(const ProgramFolder& folder, const QStringList& args);

}  // namespace batch
