#include "core/sheets/Calibration.h"

#include "core/folder/IniFile.h"

#include <QLocale>
#include <QStringList>

#include <cmath>

namespace calibration {
namespace {

QString Decimal(int tenths, QChar point) {
    const QString sign = tenths < 0 ? QStringLiteral("-") : QString();
    const int magnitude = std::abs(tenths);
    QString text = sign + QString::number(magnitude / 10);
    if (magnitude % 10) text += point + QString::number(magnitude % 10);
    return text;
}

}  // namespace

ParsedValue ParseValue(Value which, const QString& text) {
    const QString figure = text.trimmed();
    bool ok = false;
    const double value = QLocale::c().toDouble(QString(figure).replace(QLatin1Char(','), QLatin1Char('.')), &ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > 1e6)
        return {std::nullopt, QStringLiteral("\"%1\" non è un numero").arg(figure)};
    const int tenths = int(std::lround(value * 10));
    if (which == Value::OffsetX || which == Value::OffsetY) {
        if (std::abs(tenths) > kMaxOffset)
            return {std::nullopt, QStringLiteral("spostamento fuori dai limiti: %1 mm (da -10 a 10)").arg(figure)};
    } else if (std::abs(tenths - 1000) > kMaxScaleChange) {
        return {std::nullopt, QStringLiteral("scala fuori dai limiti: %1 % (da 98 a 102)").arg(figure)};
    }
    return {tenths, {}};
}

Parsed Parse(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2 && parts.size() != 4)
        return {std::nullopt, QStringLiteral("calibrazione non valida: \"%1\" (DX,DY oppure DX,DY,SX,SY: millimetri "
                                             "e percentuali con il punto per i decimali, per esempio 1.5,-0.8 oppure "
                                             "1.5,-0.8,100.4,99.8)")
                                  .arg(text)};
    int values[4] = {0, 0, 1000, 1000};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const ParsedValue value = ParseValue(Value(i), parts[i]);
        if (!value.tenths) return {std::nullopt, QStringLiteral("calibrazione non valida: ") + value.error};
        values[i] = *value.tenths;
    }
    return {Calibration{values[0], values[1], values[2], values[3]}, {}};
}

QString Format(const Calibration& c) {
    QStringList parts;
    for (int tenths : {c.offsetX, c.offsetY, c.scaleX, c.scaleY}) parts << Decimal(tenths, QLatin1Char('.'));
    return parts.join(QLatin1Char(','));
}

QString Shown(int tenths) { return Decimal(tenths, QLatin1Char(',')); }

Calibration Read(const ProgramFolder& folder, const QString& printer) {
    const QString stored = IniFile(folder.File(kFileName)).ReadString(kSection, printer);
    if (stored.isEmpty()) return {};
    return Parse(stored).value.value_or(Calibration());
}

void Write(const ProgramFolder& folder, const QString& printer, const Calibration& calibration) {
    IniFile(folder.File(kFileName)).WriteString(kSection, printer, Format(calibration));
}

}  // namespace calibration
