#include "print/pdf/PdfFont.h"

#include "print/engine/Pages.h"

#include <QRawFont>

#include <hb-subset.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <vector>

namespace report::pdf {
namespace {

unsigned Read16(const QByteArray& table, int offset) {
    if (offset + 2 > table.size()) return 0;
    return (unsigned(uchar(table[offset])) << 8) | uchar(table[offset + 1]);
}

int ReadSigned16(const QByteArray& table, int offset) { return int16_t(uint16_t(Read16(table, offset))); }

uint32_t Read32(const QByteArray& table, int offset) { return (Read16(table, offset) << 16) | Read16(table, offset + 2); }

void Append16(QByteArray& out, unsigned value) {
    out += char(value >> 8);
    out += char(value);
}

void Append32(QByteArray& out, uint32_t value) {
    Append16(out, value >> 16);
    Append16(out, value & 0xffff);
}

// The tables a TrueType face needs to shape text and draw its glyphs, in
// the order of their tags, as a font file's table directory lists them.
constexpr const char* kTables[] = {"GDEF", "GPOS", "GSUB", "OS/2", "cmap", "cvt ", "fpgm", "gasp", "glyf", "head",
                                   "hhea", "hmtx", "loca", "maxp", "name", "post", "prep"};

// A font file of the face's tables.
QByteArray Sfnt(const QRawFont& font) {
    std::vector<std::pair<const char*, QByteArray>> tables;
    for (const char* tag : kTables) {
        QByteArray data = font.fontTable(tag);
        if (!data.isEmpty()) tables.emplace_back(tag, std::move(data));
    }
    const auto count = unsigned(tables.size());
    unsigned selector = 0;
    while ((2u << selector) <= count) ++selector;
    QByteArray file;
    Append32(file, 0x00010000);
    Append16(file, count);
    Append16(file, (1u << selector) * 16);
    Append16(file, selector);
    Append16(file, count * 16 - (1u << selector) * 16);
    uint32_t offset = 12 + 16 * count;
    for (auto& [tag, data] : tables) {
        const auto length = uint32_t(data.size());
        data.append(QByteArray((4 - length % 4) % 4, '\0'));
        uint32_t sum = 0;
        for (int i = 0; i < data.size(); i += 4) sum += Read32(data, i);
        file.append(tag, 4);
        Append32(file, sum);
        Append32(file, offset);
        Append32(file, length);
        offset += uint32_t(data.size());
    }
    for (const auto& table : tables) file += table.second;
    return file;
}

QByteArray PostScriptName(const QRawFont& font) {
    QString name = font.familyName();
    if (const QString style = font.styleName(); !style.isEmpty() && style != u"Regular") name += u'-' + style;
    QByteArray ascii;
    for (const QChar c : name) {
        if (c.unicode() > ' ' && c.unicode() < 127 && !QByteArrayView("()<>[]{}/%#").contains(char(c.unicode())))
            ascii += char(c.unicode());
    }
    return ascii.isEmpty() ? QByteArrayLiteral("Font") : ascii;
}


}  // namespace

namespace {

// Writes `value` as AppendNumber does into `text`, which has room for 24
// characters; returns the length.
int FormatNumber(char* text, double value) {
    const long long thousandths = std::llround(value * 1000);
    int length = 0;
    if (thousandths < 0) text[length++] = '-';
    const unsigned long long magnitude = thousandths < 0 ? 0ull - thousandths : thousandths;
    length = int(std::to_chars(text + length, text + 20, magnitude / 1000).ptr - text);
    if (const auto fraction = unsigned(magnitude % 1000)) {
        text[length++] = '.';
        text[length++] = char('0' + fraction / 100);
        text[length++] = char('0' + fraction / 10 % 10);
        text[length++] = char('0' + fraction % 10);
        while (text[length - 1] == '0') --length;
    }
    return length;
}

}  // namespace

void AppendHex(QByteArray& out, unsigned value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xf];
}

void AppendNumber(QByteArray& out, double value) {
    char text[24];
    out.append(text, FormatNumber(text, value));
}

void AppendNumber(std::string& out, double value) {
    char text[24];
    out.append(text, std::size_t(FormatNumber(text, value)));
}

std::shared_ptr<const Face> Face::Of(const QRawFont& font) {
    // Where the system has no font at all, Qt draws with boxes of an engine
    // that has no tables and no family (asking it for its family crashes):
    // such a face is none to embed.
    const QByteArray head = font.fontTable("head");
    if (font.fontTable("glyf").isEmpty() || head.size() < 54) return nullptr;
    auto face = std::make_shared<Face>();
    face->key = font.familyName() + u'/' + font.styleName() + u'/' + QString::number(font.weight()) + u'/' +
                QString::number(int(font.style()));
    face->sfnt = Sfnt(font);
    face->postScriptName = PostScriptName(font);
    face->unitsPerEm = int(Read16(head, 18));
    if (face->unitsPerEm <= 0) face->unitsPerEm = 1000;
    face->glyphCount = int(Read16(font.fontTable("maxp"), 4));
    const double scale = 1000.0 / face->unitsPerEm;
    for (int i = 0; i < 4; ++i) face->box[i] = ReadSigned16(head, 36 + 2 * i) * scale;
    const QByteArray post = font.fontTable("post");
    face->italicAngle = int32_t(Read32(post, 4)) / 65536.0;
    face->fixedPitch = Read32(post, 12) != 0;
    // Advances from the horizontal metrics: one a glyph up to the last long
    // metric, which the glyphs after it share.
    const QByteArray metrics = font.fontTable("hmtx");
    const int longMetrics = int(Read16(font.fontTable("hhea"), 34));
    face->widths.resize(std::size_t(std::max(face->glyphCount, 0)));
    for (int glyph = 0; glyph < face->glyphCount && longMetrics > 0; ++glyph) {
        const unsigned advance = Read16(metrics, 4 * std::min(glyph, longMetrics - 1));
        face->widths[std::size_t(glyph)] = std::round(advance * scale * 1000) / 1000;
    }
    // Measured at one pixel a font unit, so that any size gives the same.
    QRawFont design(font);
    design.setPixelSize(face->unitsPerEm);
    face->ascent = design.ascent() * scale;
    face->descent = -design.descent() * scale;
    face->capHeight = design.capHeight() * scale;
    return face;
}

QByteArray Subset(const Face& face, const Glyphs& glyphs) {
    hb_blob_t* blob = hb_blob_create(face.sfnt.constData(), unsigned(face.sfnt.size()), HB_MEMORY_MODE_READONLY,
                                     nullptr, nullptr);
    hb_face_t* source = hb_face_create(blob, 0);
    hb_blob_destroy(blob);
    hb_subset_input_t* input = hb_subset_input_create_or_fail();
    QByteArray file;
    if (input) {
        hb_set_t* keep = hb_subset_input_glyph_set(input);
        hb_set_add(keep, 0);
        for (const auto& glyph : glyphs) hb_set_add(keep, glyph.first);
        hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_NO_HINTING);
        if (hb_face_t* subset = hb_subset_or_fail(source, input)) {
            hb_blob_t* data = hb_face_reference_blob(subset);
            unsigned length = 0;
            const char* bytes = hb_blob_get_data(data, &length);
            file = QByteArray(bytes, qsizetype(length));
            hb_blob_destroy(data);
            hb_face_destroy(subset);
        }
        hb_subset_input_destroy(input);
    }
    hb_face_destroy(source);
    if (file.isEmpty())
        throw PrintError(QStringLiteral("Impossibile ridurre il carattere %1 per il documento").arg(face.key).toStdString());
    return file;
}

QByteArray ToUnicode(const Glyphs& glyphs) {
    QByteArray map =
        "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
        "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    std::vector<std::pair<unsigned, const QString*>> mapped;
    for (const auto& [glyph, info] : glyphs)
        if (!info.text.isEmpty()) mapped.emplace_back(glyph, &info.text);
    // At most a hundred mappings a block.
    for (std::size_t first = 0; first < mapped.size(); first += 100) {
        const std::size_t last = std::min(mapped.size(), first + 100);
        map += QByteArray::number(qulonglong(last - first)) + " beginbfchar\n";
        for (std::size_t i = first; i < last; ++i) {
            map += '<';
            AppendHex(map, mapped[i].first, 4);
            map += "> <";
            for (const QChar c : *mapped[i].second) AppendHex(map, c.unicode(), 4);
            map += ">\n";
        }
        map += "endbfchar\n";
    }
    map += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return map;
}

QByteArray Widths(const Glyphs& glyphs) {
    QByteArray widths = "[";
    for (const auto& [glyph, info] : glyphs) {
        widths += QByteArray::number(glyph) + " [";
        AppendNumber(widths, info.width);
        widths += "] ";
    }
    widths += ']';
    return widths;
}

}  // namespace report::pdf
