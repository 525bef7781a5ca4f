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

namespace {

// Whether the Italian reading of n begins with a vowel: uno, otto, undici,
// ottanta..., ottocento..., and the thousands read as their count
// ("ottomila", but "mille").
bool ReadWithAVowel(unsigned long long n) {
    while (n >= 1000) {
        if (n < 2000) return false;  // mille, millecento...
        n /= 1000;
    }
    return n == 1 || n == 8 || n == 11 || (n >= 80 && n <= 89) || (n >= 800 && n <= 899);
}

}  // namespace

QString WithDal(const QString& text) {
    qsizetype digits = 0;
    while (digits < text.size() && digits < 18 && text[digits] >= u'0' && text[digits] <= u'9') ++digits;
    const bool elided = digits > 0 && ReadWithAVowel(text.left(digits).toULongLong());
    return (elided ? QStringLiteral("dall'") : QStringLiteral("dal ")) + text;
}
