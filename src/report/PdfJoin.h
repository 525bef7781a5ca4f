#pragma once
#include <QString>
#include <QStringList>

// Joining PDF documents into one, through qpdf.
namespace report {

// Writes into `path` the pages of `parts` in order, the first part's document
// information kept. The page contents are copied as they are, never drawn
// again or recompressed. Throws PrintError when a part cannot be read or the
// file cannot be written.
void JoinPdf(const QStringList& parts, const QString& path);

}  // namespace report
