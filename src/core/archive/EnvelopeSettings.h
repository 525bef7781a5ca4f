#pragma once
#include "core/folder/ProgramFolder.h"

#include <QString>

#include <optional>

// The envelope's settings in Impostazioni.ini of the program folder: the top
// and left margins in whole millimetres and the orientation of the page. The
// envelope window reads and writes them; velmora-batch only reads them.
namespace envelope_settings {

inline const QString kFileName = QLatin1String(ProgramFolder::kSettings);
inline const QString kMarginSection = QStringLiteral("Margini Busta");
inline const QString kTopKey = QStringLiteral("Superiore");
inline const QString kLeftKey = QStringLiteral("Sinistro");
inline const QString kPrintSection = QStringLiteral("Stampa Busta");
inline const QString kOrientationKey = QStringLiteral("Orientamento");
inline const QString kPortrait = QStringLiteral("Verticale");
inline const QString kLandscape = QStringLiteral("Orizzontale");

// The margins as their texts stand in the file, and the orientation.
struct Settings {
    QString top = QStringLiteral("0");
    QString left = QStringLiteral("0");
    bool landscape = false;
};

// The settings of the folder's file: a margin missing or blank is "0"; the
// orientation is landscape only when its value, trimmed, is "Orizzontale"
// (letter case included), and portrait otherwise. A missing file gives the
// defaults. Throws IniError when the file exists but cannot be read.
Settings Read(const ProgramFolder& folder);

// Stores one margin, trimmed, then the orientation. Throws IniError.
void WriteTop(const ProgramFolder& folder, const QString& top, bool landscape);
void WriteLeft(const ProgramFolder& folder, const QString& left, bool landscape);

// A margin's text as a number of millimetres: a decimal number, blanks
// around it allowed, with a comma before any decimals ("-3", "12", "2,5").
// Nothing when the text is no such number.
std::optional<double> MarginMm(const QString& text);

// A margin's text, a whole number of millimetres, moved by `step`; nothing
// when the text is not a whole number or the result would not be one that
// fits in 64 bits.
std::optional<QString> StepMargin(const QString& text, int step);

// What a margin text that is not a whole number is told as.
QString NotAWholeNumber(const QString& text);

}  // namespace envelope_settings
