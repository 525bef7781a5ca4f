#pragma once
#include <QDate>
#include <QString>
#include <QTime>

// The process-wide date format: short date "dd/mm/yyyy", where "/" stands
// for the locale's date separator.
// Times keep the locale's long time format. They hold for the whole run.
namespace formats {

QString ShortDate(const QDate& date);
QString LongTime(const QTime& time);

}  // namespace formats
