#include "core/archive/EnvelopeSettings.h"

#include "core/folder/IniFile.h"
#include "core/folder/TextRules.h"

#include <QRegularExpression>

#include <cmath>

namespace envelope_settings {
namespace {

IniFile FileOf(const ProgramFolder& folder) { return IniFile(folder.File(kFileName)); }

QString MarginOrZero(const QString& text) { return IsBlank(text) ? QStringLiteral("0") : text; }

void WriteMargin(const ProgramFolder& folder, const QString& key, const QString& margin, bool landscape) {
    IniFile file = FileOf(folder);
    file.WriteString(kMarginSection, key, TrimText(margin));
    file.WriteString(kPrintSection, kOrientationKey, landscape ? kLandscape : kPortrait);
}

}  // namespace

Settings Read(const ProgramFolder& folder) {
    const IniFile file = FileOf(folder);
    Settings settings;
    settings.top = MarginOrZero(file.ReadString(kMarginSection, kTopKey));
    settings.left = MarginOrZero(file.ReadString(kMarginSection, kLeftKey));
    settings.landscape = TrimText(file.ReadString(kPrintSection, kOrientationKey)) == kLandscape;
    return settings;
}

void WriteTop(const ProgramFolder& folder, const QString& top, bool landscape) {
    WriteMargin(folder, kTopKey, top, landscape);
}

void WriteLeft(const ProgramFolder& folder, const QString& left, bool landscape) {
    WriteMargin(folder, kLeftKey, left, landscape);
}

std::optional<double> MarginMm(const QString& text) {
    static const QRegularExpression kNumber(QStringLiteral("^[+-]?([0-9]+(,[0-9]*)?|,[0-9]+)$"));
    const QString number = TrimText(text);
    if (!kNumber.match(number).hasMatch()) return std::nullopt;
    const double mm = QString(number).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
    if (!std::isfinite(mm)) return std::nullopt;
    return mm;
}

std::optional<QString> StepMargin(const QString& text, int step) {
    static const QRegularExpression kWhole(QStringLiteral("^[+-]?[0-9]+$"));
    const QString number = TrimText(text);
    bool ok = false;
    const qint64 value = kWhole.match(number).hasMatch() ? number.toLongLong(&ok) : 0;
    qint64 moved = 0;
    if (!ok || __builtin_add_overflow(value, qint64(step), &moved)) return std::nullopt;
    return QString::number(moved);
}

QString NotAWholeNumber(const QString& text) { return QStringLiteral("'%1' is not a valid integer value").arg(text); }

}  // namespace envelope_settings
