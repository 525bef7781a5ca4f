#pragma once
#include "core/folder/ProgramFolder.h"

#include <QString>

#include <optional>

// A printer's calibration for label sheets: how far it moves and stretches
// the page, corrected by drawing every label sheet page moved and scaled from
// the paper's top left corner: x' = x × scale + offset. Stored in
// Impostazioni.ini of the program folder, one entry per printer, so that every
// copy of the program sharing the folder prints with the same values.
namespace calibration {

// The values in whole tenths: offsets in tenths of a millimetre (positive to
// the right and down), scales in tenths of a percent (1000 is 100 %).
struct Calibration {
    int offsetX = 0, offsetY = 0;
    int scaleX = 1000, scaleY = 1000;

    bool IsNone() const { return offsetX == 0 && offsetY == 0 && scaleX == 1000 && scaleY == 1000; }
    double OffsetXMm() const { return offsetX / 10.0; }
    double OffsetYMm() const { return offsetY / 10.0; }
    double ScaleXFactor() const { return scaleX / 1000.0; }
    double ScaleYFactor() const { return scaleY / 1000.0; }
    bool operator==(const Calibration& o) const {
        return offsetX == o.offsetX && offsetY == o.offsetY && scaleX == o.scaleX && scaleY == o.scaleY;
    }
};

// The limits, in tenths: ±10 mm, ±2 %.
constexpr int kMaxOffset = 100;
constexpr int kMaxScaleChange = 20;

inline const QString kFileName = QLatin1String(ProgramFolder::kSettings);
inline const QString kSection = QStringLiteral("Calibrazione");

// One of the four values.
enum class Value { OffsetX, OffsetY, ScaleX, ScaleY };

// One value's text, millimetres for an offset and percent for a scale, with a
// point or a comma before any decimals ("-0.8", "100,4"): its tenths, rounded,
// or an error that says what is wrong (not a number, out of its limits).
struct ParsedValue {
    std::optional<int> tenths;
    QString error;
};
ParsedValue ParseValue(Value which, const QString& text);

// "DX,DY" or "DX,DY,SX,SY": offsets in millimetres and scales in percent,
// with a point before any decimals ("1.5,-0.8,100.4,99.8"), rounded to
// tenths. The error says what is wrong when the text is no such thing or a
// value is out of its limits.
struct Parsed {
    std::optional<Calibration> value;
    QString error;
};
Parsed Parse(const QString& text);

// The text Parse reads back: "1.5,-0.8,100.4,100".
QString Format(const Calibration& calibration);

// The values a millimetre or percent figure shows in a window: "1,5", "-0,8",
// "100,4" (the Italian decimal comma).
QString Shown(int tenths);

// The calibration stored for a printer (letter case aside); none when there
// is none or its entry cannot be read as one. Throws IniError when the file
// exists but cannot be read.
Calibration Read(const ProgramFolder& folder, const QString& printer);

// Stores a printer's calibration, leaving every other line of the file as it
// was. Throws IniError.
void Write(const ProgramFolder& folder, const QString& printer, const Calibration& calibration);

}  // namespace calibration
