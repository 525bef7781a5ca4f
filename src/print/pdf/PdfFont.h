#pragma once
#include <QByteArray>
#include <QString>

#include <map>
#include <memory>
#include <string>
#include <vector>

class QRawFont;

// The fonts of the PDF writer: TrueType faces embedded as CID fonts, each
// a font subset of the glyphs the document shows, keeping their numbers, so a
// page's text names glyphs directly.
namespace report::pdf {

// A face as the document embeds it: its TrueType tables, read once, and
// what its descriptor tells.
struct Face {
    QString key;                // family, style and weight: one per face
    QByteArray postScriptName;  // without spaces or PDF delimiters
    QByteArray sfnt;            // the font file, rebuilt from the face's tables
    int unitsPerEm = 1000;
    int glyphCount = 0;
    double ascent = 0, descent = 0, capHeight = 0, italicAngle = 0;  // thousandths of an em, degrees
    double box[4] = {0, 0, 0, 0};                                    // thousandths of an em
    bool fixedPitch = false;
    std::vector<double> widths;  // each glyph's advance, thousandths of an em (three decimals)

    // Reads the face `font` draws with; none when it is not a TrueType
    // face, which is all the writer embeds.
    static std::shared_ptr<const Face> Of(const QRawFont& font);
};

// A glyph the document shows: its advance in thousandths of an em, and the
// text it stands for (for search and copy in a viewer).
struct Glyph {
    double width = 0;
    QString text;
};
using Glyphs = std::map<unsigned, Glyph>;

// The face as a font file holding only `glyphs` (and the missing-glyph
// glyph), at their own numbers. Throws PrintError.
QByteArray Subset(const Face& face, const Glyphs& glyphs);

// The CMap that maps each glyph to its text.
QByteArray ToUnicode(const Glyphs& glyphs);

// The widths array of a CID font for `glyphs`.
QByteArray Widths(const Glyphs& glyphs);

// Appends `value` as `digits` upper-case hexadecimal digits.
void AppendHex(QByteArray& out, unsigned value, int digits);

// Appends `value` with at most three decimals, no exponent and no trailing
// zeros, as PDF numbers are written.
void AppendNumber(QByteArray& out, double value);
void AppendNumber(std::string& out, double value);

}  // namespace report::pdf
