#include "core/folder/Formats.h"

#include <QLocale>


namespace formats {
namespace {

// The first character of the locale's short date pattern that is not part of
// a field: its date separator.
QChar DateSeparator(const QLocale& locale) {
    for (QChar c : locale.dateFormat(QLocale::ShortFormat))
        if (!c.isLetter() && c != QLatin1Char('\'') && !c.isSpace()) return c;
    return QLatin1Char('/');
}

}  // namespace

QString ShortDate(const QDate& date) {
    const QLocale locale;
    const QString sep = DateSeparator(locale);
    return date.toString(QStringLiteral("dd") + sep + QStringLiteral("MM") + sep + QStringLiteral("yyyy"));
}

QString LongTime(const QTime& time) {
    const QLocale locale;
    QString pattern = locale.timeFormat(QLocale::LongFormat);
    // Drop the time-zone field of a long format: the clock shows local time.
    pattern.remove(QLatin1Char('t'));
    return locale.toString(time, pattern.trimmed());
}


}  // namespace formats
