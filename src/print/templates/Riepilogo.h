#pragma once
#include "print/engine/Model.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>

// The archive summary: a landscape A4 listing of the record pickers' items,
// one line each in 8 pt Courier New, under a title bar and over a footer bar
// that tells when it was printed. Each picker window owns its own copy of the
// template; the batch tool builds one too, and all fill it through Fill.
namespace summary {

// The titles of the find window's and of the import window's summary.
inline const QString kFindTitle = QStringLiteral("Riepilogo etichette in archivio");
inline const QString kImportTitle = QStringLiteral("Riepilogo dati in archivio");

// The body's height per line, in units: the line pitch of 8 pt Courier New.
constexpr double kLineHeight = 12.822;
// What the master band adds below the body, in units.
constexpr double kBandExtra = 10;

std::unique_ptr<report::TrepReport> Build();

// "Stampa eseguita in data dd/mm/yyyy alle ore " and the locale's long time.
QString FooterText(const QDateTime& moment);

// Fills and prepares a summary: the title, the footer for `moment`, one body
// line per item in the order given, the body sized to its lines and the
// master band to the body, then a fresh preparation. The one routine behind
// every printed summary.
report::PrepareResult FillAndPrepare(report::TrepReport& summary, const QString& title, const QStringList& items,
                    const QDateTime& moment);

}  // namespace summary
