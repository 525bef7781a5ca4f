#pragma once
#include <QDate>
#include <QString>
#include <QTime>

// The process-wide date and number formats: short date "dd/mm/yyyy", where
// "/" stands for the locale's date separator, and "," as decimal separator.
// Times keep the locale's long time format. They hold for the whole run.
namespace formats {

QString ShortDate(const QDate& date);
QString LongTime(const QTime& time);

// Reads a decimal number written with the decimal comma; throws
// std::invalid_argument when the text is not one.
double ParseDecimal(const QString& text);

}  // namespace formats
