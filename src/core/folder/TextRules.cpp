#include "core/folder/TextRules.h"

QString TrimText(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32) ++begin;
    while (end > begin && text[end - 1].unicode() <= 32) --end;
    return text.mid(begin, end - begin);
}

QString UpperAscii(QString text) {
    for (QChar& c : text) c = QChar(UpperAscii(c.unicode()));
    return text;
}

QString LowerAscii(QString text) {
    for (QChar& c : text) c = QChar(LowerAscii(c.unicode()));
    return text;
}
