#pragma once
#include <QStringList>

class QTextStream;

// velmora-batch: printing from scripts, through the same code as the program.
//
//   velmora-batch [--folder DIR] (--pdf FILE | --printer NAME) [--copies N] [--quiet] COMMAND ARGS
//   velmora-batch [--folder DIR] export [FILE|-]
//   velmora-batch [--folder DIR] import FILE.csv [--dry-run] [--truncate]
//   velmora-batch --help | --version
//
// Returns the exit status: 0 done (--help and --version print the usage and
// the build's version on standard output), 1 failed (a message on err,
// nothing written), 2 a usage error (the usage on err). It never creates or changes an
// archive, except import, which appends to the data archive. The numbered
// commands take a number, a range A-B or "all"; a long run shows a progress
// line on err when `errIsTerminal`, unless --quiet.
namespace batch {

int Run(const QStringList& arguments, const QString& defaultFolder, QTextStream& err, bool errIsTerminal = false);

}  // namespace batch
