#include "core/archive/ShortText.h"

#include "core/folder/TextRules.h"

#include <QStringList>
#include <QStringView>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

// Bytes 0x80 to 0x9F of Windows-1252. The five bytes the code page leaves
// unassigned map to the C1 controls of the same value, as Windows does.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Windows' best fit for code page 1252: the byte that WideCharToMultiByte
// writes for each UTF-16 unit the code page lacks and for which Windows has a
// similar character (Microsoft's table bestfit1252.txt, as Windows and Wine
// apply it; a test holds every unit to Wine's conversion), in the order of the
// units. Every other unit the code page lacks becomes "?".
struct Fit {
    char16_t unit;
    char byte;
};
constexpr Fit kBestFit[] = {
    {0x0100, 'A'}, {0x0101, 'a'}, {0x0102, 'A'}, {0x0103, 'a'}, {0x0104, 'A'}, {0x0105, 'a'},
    {0x0106, 'C'}, {0x0107, 'c'}, {0x0108, 'C'}, {0x0109, 'c'}, {0x010A, 'C'}, {0x010B, 'c'},
    {0x010C, 'C'}, {0x010D, 'c'}, {0x010E, 'D'}, {0x010F, 'd'}, {0x0110, '\xd0'}, {0x0111, 'd'},
    {0x0112, 'E'}, {0x0113, 'e'}, {0x0114, 'E'}, {0x0115, 'e'}, {0x0116, 'E'}, {0x0117, 'e'},
    {0x0118, 'E'}, {0x0119, 'e'}, {0x011A, 'E'}, {0x011B, 'e'}, {0x011C, 'G'}, {0x011D, 'g'},
    {0x011E, 'G'}, {0x011F, 'g'}, {0x0120, 'G'}, {0x0121, 'g'}, {0x0122, 'G'}, {0x0123, 'g'},
    {0x0124, 'H'}, {0x0125, 'h'}, {0x0126, 'H'}, {0x0127, 'h'}, {0x0128, 'I'}, {0x0129, 'i'},
    {0x012A, 'I'}, {0x012B, 'i'}, {0x012C, 'I'}, {0x012D, 'i'}, {0x012E, 'I'}, {0x012F, 'i'},
    {0x0130, 'I'}, {0x0131, 'i'}, {0x0134, 'J'}, {0x0135, 'j'}, {0x0136, 'K'}, {0x0137, 'k'},
    {0x0139, 'L'}, {0x013A, 'l'}, {0x013B, 'L'}, {0x013C, 'l'}, {0x013D, 'L'}, {0x013E, 'l'},
    {0x0141, 'L'}, {0x0142, 'l'}, {0x0143, 'N'}, {0x0144, 'n'}, {0x0145, 'N'}, {0x0146, 'n'},
    {0x0147, 'N'}, {0x0148, 'n'}, {0x014C, 'O'}, {0x014D, 'o'}, {0x014E, 'O'}, {0x014F, 'o'},
    {0x0150, 'O'}, {0x0151, 'o'}, {0x0154, 'R'}, {0x0155, 'r'}, {0x0156, 'R'}, {0x0157, 'r'},
    {0x0158, 'R'}, {0x0159, 'r'}, {0x015A, 'S'}, {0x015B, 's'}, {0x015C, 'S'}, {0x015D, 's'},
    {0x015E, 'S'}, {0x015F, 's'}, {0x0162, 'T'}, {0x0163, 't'}, {0x0164, 'T'}, {0x0165, 't'},
    {0x0166, 'T'}, {0x0167, 't'}, {0x0168, 'U'}, {0x0169, 'u'}, {0x016A, 'U'}, {0x016B, 'u'},
    {0x016C, 'U'}, {0x016D, 'u'}, {0x016E, 'U'}, {0x016F, 'u'}, {0x0170, 'U'}, {0x0171, 'u'},
    {0x0172, 'U'}, {0x0173, 'u'}, {0x0174, 'W'}, {0x0175, 'w'}, {0x0176, 'Y'}, {0x0177, 'y'},
    {0x0179, 'Z'}, {0x017A, 'z'}, {0x017B, 'Z'}, {0x017C, 'z'}, {0x0180, 'b'}, {0x0189, '\xd0'},
    {0x0191, '\x83'}, {0x0197, 'I'}, {0x019A, 'l'}, {0x019F, 'O'}, {0x01A0, 'O'}, {0x01A1, 'o'},
    {0x01AB, 't'}, {0x01AE, 'T'}, {0x01AF, 'U'}, {0x01B0, 'u'}, {0x01B6, 'z'}, {0x01C0, '|'},
    {0x01C3, '!'}, {0x01CD, 'A'}, {0x01CE, 'a'}, {0x01CF, 'I'}, {0x01D0, 'i'}, {0x01D1, 'O'},
    {0x01D2, 'o'}, {0x01D3, 'U'}, {0x01D4, 'u'}, {0x01D5, 'U'}, {0x01D6, 'u'}, {0x01D7, 'U'},
    {0x01D8, 'u'}, {0x01D9, 'U'}, {0x01DA, 'u'}, {0x01DB, 'U'}, {0x01DC, 'u'}, {0x01DE, 'A'},
    {0x01DF, 'a'}, {0x01E4, 'G'}, {0x01E5, 'g'}, {0x01E6, 'G'}, {0x01E7, 'g'}, {0x01E8, 'K'},
    {0x01E9, 'k'}, {0x01EA, 'O'}, {0x01EB, 'o'}, {0x01EC, 'O'}, {0x01ED, 'o'}, {0x01F0, 'j'},
    {0x0261, 'g'}, {0x02B9, '\''}, {0x02BA, '"'}, {0x02BC, '\''}, {0x02C4, '^'}, {0x02C8, '\''},
    {0x02C9, '\xaf'}, {0x02CA, '\xb4'}, {0x02CB, '`'}, {0x02CD, '_'}, {0x02DA, '\xb0'}, {0x0300, '`'},
    {0x0301, '\xb4'}, {0x0302, '^'}, {0x0303, '~'}, {0x0304, '\xaf'}, {0x0305, '\xaf'}, {0x0308, '\xa8'},
    {0x030A, '\xb0'}, {0x030E, '"'}, {0x0327, '\xb8'}, {0x0331, '_'}, {0x0332, '_'}, {0x037E, ';'},
    {0x0393, 'G'}, {0x0398, 'T'}, {0x03A3, 'S'}, {0x03A6, 'F'}, {0x03A9, 'O'}, {0x03B1, 'a'},
    {0x03B2, '\xdf'}, {0x03B4, 'd'}, {0x03B5, 'e'}, {0x03BC, '\xb5'}, {0x03C0, 'p'}, {0x03C3, 's'},
    {0x03C4, 't'}, {0x03C6, 'f'}, {0x04BB, 'h'}, {0x0589, ':'}, {0x066A, '%'}, {0x2000, ' '},
    {0x2001, ' '}, {0x2002, ' '}, {0x2003, ' '}, {0x2004, ' '}, {0x2005, ' '}, {0x2006, ' '},
    {0x2010, '-'}, {0x2011, '-'}, {0x2017, '='}, {0x2024, '\xb7'}, {0x2032, '\''}, {0x2035, '`'},
    {0x2044, '/'}, {0x2070, '\xb0'}, {0x2074, '4'}, {0x2075, '5'}, {0x2076, '6'}, {0x2077, '7'},
    {0x2078, '8'}, {0x207F, 'n'}, {0x2080, '0'}, {0x2081, '1'}, {0x2082, '2'}, {0x2083, '3'},
    {0x2084, '4'}, {0x2085, '5'}, {0x2086, '6'}, {0x2087, '7'}, {0x2088, '8'}, {0x2089, '9'},
    {0x20A1, '\xa2'}, {0x20A4, '\xa3'}, {0x20A7, 'P'}, {0x2102, 'C'}, {0x2107, 'E'}, {0x210A, 'g'},
    {0x210B, 'H'}, {0x210C, 'H'}, {0x210D, 'H'}, {0x210E, 'h'}, {0x2110, 'I'}, {0x2111, 'I'},
    {0x2112, 'L'}, {0x2113, 'l'}, {0x2115, 'N'}, {0x2118, 'P'}, {0x2119, 'P'}, {0x211A, 'Q'},
    {0x211B, 'R'}, {0x211C, 'R'}, {0x211D, 'R'}, {0x2124, 'Z'}, {0x2128, 'Z'}, {0x212A, 'K'},
    {0x212B, '\xc5'}, {0x212C, 'B'}, {0x212D, 'C'}, {0x212E, 'e'}, {0x212F, 'e'}, {0x2130, 'E'},
    {0x2131, 'F'}, {0x2133, 'M'}, {0x2134, 'o'}, {0x2205, '\xd8'}, {0x2212, '-'}, {0x2213, '\xb1'},
    {0x2215, '/'}, {0x2216, '\\'}, {0x2217, '*'}, {0x2218, '\xb0'}, {0x2219, '\xb7'}, {0x221A, 'v'},
    {0x221E, '8'}, {0x2223, '|'}, {0x2229, 'n'}, {0x2236, ':'}, {0x223C, '~'}, {0x2248, '\x98'},
    {0x2261, '='}, {0x2264, '='}, {0x2265, '='}, {0x226A, '\xab'}, {0x226B, '\xbb'}, {0x22C5, '\xb7'},
    {0x2302, '\xa6'}, {0x2303, '^'}, {0x2310, '\xac'}, {0x2320, '('}, {0x2321, ')'}, {0x2329, '<'},
    {0x232A, '>'}, {0x2500, '-'}, {0x2502, '\xa6'}, {0x250C, '+'}, {0x2510, '+'}, {0x2514, '+'},
    {0x2518, '+'}, {0x251C, '+'}, {0x2524, '\xa6'}, {0x252C, '-'}, {0x2534, '-'}, {0x253C, '+'},
    {0x2550, '-'}, {0x2551, '\xa6'}, {0x2552, '+'}, {0x2553, '+'}, {0x2554, '+'}, {0x2555, '+'},
    {0x2556, '+'}, {0x2557, '+'}, {0x2558, '+'}, {0x2559, '+'}, {0x255A, '+'}, {0x255B, '+'},
    {0x255C, '+'}, {0x255D, '+'}, {0x255E, '\xa6'}, {0x255F, '\xa6'}, {0x2560, '\xa6'}, {0x2561, '\xa6'},
    {0x2562, '\xa6'}, {0x2563, '\xa6'}, {0x2564, '-'}, {0x2565, '-'}, {0x2566, '-'}, {0x2567, '-'},
    {0x2568, '-'}, {0x2569, '-'}, {0x256A, '+'}, {0x256B, '+'}, {0x256C, '+'}, {0x2580, '\xaf'},
    {0x2584, '_'}, {0x2588, '\xa6'}, {0x258C, '\xa6'}, {0x2590, '\xa6'}, {0x2591, '\xa6'}, {0x2592, '\xa6'},
    {0x2593, '\xa6'}, {0x25A0, '\xa6'}, {0x263C, '\xa4'}, {0x2758, '|'}, {0x3000, ' '}, {0x3008, '<'},
    {0x3009, '>'}, {0x300A, '\xab'}, {0x300B, '\xbb'}, {0x301A, '['}, {0x301B, ']'}, {0x30FB, '\xb7'},
    {0xFF01, '!'}, {0xFF02, '"'}, {0xFF03, '#'}, {0xFF04, '$'}, {0xFF05, '%'}, {0xFF06, '&'},
    {0xFF07, '\''}, {0xFF08, '('}, {0xFF09, ')'}, {0xFF0A, '*'}, {0xFF0B, '+'}, {0xFF0C, ','},
    {0xFF0D, '-'}, {0xFF0E, '.'}, {0xFF0F, '/'}, {0xFF10, '0'}, {0xFF11, '1'}, {0xFF12, '2'},
    {0xFF13, '3'}, {0xFF14, '4'}, {0xFF15, '5'}, {0xFF16, '6'}, {0xFF17, '7'}, {0xFF18, '8'},
    {0xFF19, '9'}, {0xFF1A, ':'}, {0xFF1B, ';'}, {0xFF1C, '<'}, {0xFF1D, '='}, {0xFF1E, '>'},
    {0xFF20, '@'}, {0xFF21, 'A'}, {0xFF22, 'B'}, {0xFF23, 'C'}, {0xFF24, 'D'}, {0xFF25, 'E'},
    {0xFF26, 'F'}, {0xFF27, 'G'}, {0xFF28, 'H'}, {0xFF29, 'I'}, {0xFF2A, 'J'}, {0xFF2B, 'K'},
    {0xFF2C, 'L'}, {0xFF2D, 'M'}, {0xFF2E, 'N'}, {0xFF2F, 'O'}, {0xFF30, 'P'}, {0xFF31, 'Q'},
    {0xFF32, 'R'}, {0xFF33, 'S'}, {0xFF34, 'T'}, {0xFF35, 'U'}, {0xFF36, 'V'}, {0xFF37, 'W'},
    {0xFF38, 'X'}, {0xFF39, 'Y'}, {0xFF3A, 'Z'}, {0xFF3B, '['}, {0xFF3C, '\\'}, {0xFF3D, ']'},
    {0xFF3E, '^'}, {0xFF3F, '_'}, {0xFF40, '`'}, {0xFF41, 'a'}, {0xFF42, 'b'}, {0xFF43, 'c'},
    {0xFF44, 'd'}, {0xFF45, 'e'}, {0xFF46, 'f'}, {0xFF47, 'g'}, {0xFF48, 'h'}, {0xFF49, 'i'},
    {0xFF4A, 'j'}, {0xFF4B, 'k'}, {0xFF4C, 'l'}, {0xFF4D, 'm'}, {0xFF4E, 'n'}, {0xFF4F, 'o'},
    {0xFF50, 'p'}, {0xFF51, 'q'}, {0xFF52, 'r'}, {0xFF53, 's'}, {0xFF54, 't'}, {0xFF55, 'u'},
    {0xFF56, 'v'}, {0xFF57, 'w'}, {0xFF58, 'x'}, {0xFF59, 'y'}, {0xFF5A, 'z'}, {0xFF5B, '{'},
    {0xFF5C, '|'}, {0xFF5D, '}'}, {0xFF5E, '~'},
};

char ByteOf(char16_t unit) {
    const int b = CodePageByte(unit);
    if (b >= 0) return static_cast<char>(b);
    const auto* fit = std::lower_bound(std::begin(kBestFit), std::end(kBestFit), unit,
                                       [](const Fit& f, char16_t u) { return f.unit < u; });
    return fit != std::end(kBestFit) && fit->unit == unit ? fit->byte : '?';
}

QString Composed(const QString& text) { return text.normalized(QString::NormalizationForm_C); }

QByteArray ComposedToCodePage(QStringView composed) {
    QByteArray out(composed.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < composed.size(); ++i) out[i] = ByteOf(composed[i].unicode());
    return out;
}

}  // namespace

int CodePageByte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c) return 0x80 + i;
    return -1;
}

QByteArray ToCodePage(const QString& text) { return ComposedToCodePage(Composed(text)); }

QString ArchivableText(const QString& text) {
    const QByteArray stored = ToCodePage(text);
    return FromCodePage(stored.constData(), stored.size());
}

QString ChangedLetters(const QString& text, QByteArray (*convert)(const QString&)) {
    QStringList changes;
    const QString composed = Composed(text);
    for (qsizetype i = 0; i < composed.size();) {
        const qsizetype units = composed[i].isHighSurrogate() && i + 1 < composed.size() ? 2 : 1;
        const QString letter = composed.mid(i, units);
        i += units;
        const QByteArray bytes = convert(letter);
        const QString stored = FromCodePage(bytes.constData(), bytes.size());
        const QString change = letter + QStringLiteral(" → ") + stored;
        if (stored != letter && !changes.contains(change)) changes << change;
    }
    return changes.join(QStringLiteral(", "));
}

QString ChangedLetters(const QString& text) { return ChangedLetters(text, ToCodePage); }

StoredText ToStoredText(const QString& text) { return {ToCodePage(text), ChangedLetters(text)}; }

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
    // Each unit of the composed text makes one byte, so the units after the
    // first 250 are never stored.
    const QString trimmed = TrimText(Composed(text));
    return ShortTextFromCodePage(ComposedToCodePage(QStringView(trimmed).left(ShortText250::kMaxLength)));
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
