#include "core/archive/ShortText.h"

#include "core/folder/TextRules.h"

#include <QList>
#include <QStringView>

#include <algorithm>
#include <cstring>

namespace {

// Bytes 0x80 to 0x9F of Windows-1252. The five bytes the code page leaves
// unassigned map to the C1 controls of the same value, as Windows does.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Best fit for a character the code page lacks: its base letter when it
// decomposes into one (ā to a, Ł stays unmatched), a few typographic
// stand-ins, otherwise the substitution character.
char BestFit(char32_t c) {
    switch (c) {
    case 0x2010: case 0x2011: case 0x2012: case 0x2212: return '-';
    case 0x2032: return '\'';
    case 0x2033: return '"';
    default: break;
    }
    const QString decomposed = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_D);
    if (!decomposed.isEmpty() && decomposed != QString::fromUcs4(&c, 1)) {
        const int b = CodePageByte(decomposed.at(0).unicode());
        if (b >= 0x20 && b < 0x80) return static_cast<char>(b);
    }
    return '?';
}

}  // namespace

int CodePageByte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c) return 0x80 + i;
    return -1;
}

QByteArray ToCodePage(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (char32_t c : text.toUcs4()) {
        const int b = CodePageByte(c);
        out.append(b >= 0 ? static_cast<char>(b) : BestFit(c));
    }
    return out;
}

QString ArchivableText(const QString& text, QString* refused) {
    QString kept;
    for (char32_t c : text.toUcs4()) {
        const QString letter = QString::fromUcs4(&c, 1);
        const QByteArray stored = ToCodePage(letter);
        if (stored == "?" && c != U'?') {
            if (refused) refused->append(letter);
        } else {
            kept += FromCodePage(stored.constData(), stored.size());
        }
    }
    return kept;
}

QString FromCodePage(const char* data, qsizetype size) {
    QString out(size, Qt::Uninitialized);
    FromCodePage(data, size, out.data());
    return out;
}

void FromCodePage(const char* data, qsizetype size, QChar* out) {
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        out[i] = QChar(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t(b));
    }
}

ShortText250 EncodeShortText(const QString& text) {
    // At most 255 characters are converted; surrogate pairs count as one.
    const QString trimmed = TrimText(text);
    qsizetype cut = 0;
    for (int n = 0; n < 255 && cut < trimmed.size(); ++n)
        cut += (trimmed.at(cut).isHighSurrogate() && cut + 1 < trimmed.size()) ? 2 : 1;
    return ShortTextFromCodePage(ToCodePage(trimmed.left(cut)));
}

ShortText250 ShortTextFromCodePage(QByteArrayView bytes) {
    const int length = static_cast<int>(std::min<qsizetype>(bytes.size(), ShortText250::kMaxLength));
    ShortText250 field;
    field.bytes[0] = static_cast<std::uint8_t>(length);
    std::memcpy(field.bytes.data() + 1, bytes.data(), static_cast<size_t>(length));
    return field;
}

QString DecodeShortText(const ShortText250& field) {
    const QByteArrayView bytes = ShortTextBytes(field);
    return FromCodePage(bytes.data(), bytes.size());
}

QByteArrayView ShortTextBytes(const ShortText250& field) {
    const auto* begin = reinterpret_cast<const char*>(field.bytes.data() + 1);
    const char* end = begin + field.Length();
    while (begin < end && static_cast<unsigned char>(*begin) <= 32) ++begin;
    while (end > begin && static_cast<unsigned char>(end[-1]) <= 32) --end;
    return QByteArrayView(begin, end - begin);
}
