#pragma once
#include "print/pdf/PageFonts.h"

#include <QString>
#include <QStringView>

#include <hb.h>

#include <vector>

// The shapers: a line of text into glyphs placed as Qt's text engine places
// them, each standing for the characters of its own cluster.
namespace report::pdf {

// A glyph placed on the line: its face (in PageFonts) and number, its pen
// position in units from the line's start on its baseline, and the text it
// stands for, at `from` for `length` in the shaper's Texts().
struct Placed {
    std::size_t face;
    unsigned glyph;
    double x, y;
    qsizetype from = 0, length = 0;
};

class TextShaper {
public:
    explicit TextShaper(PageFonts& fonts);
    ~TextShaper();
    TextShaper(const TextShaper&) = delete;
    TextShaper& operator=(const TextShaper&) = delete;

    // Shapes one line in `font`: a plain line with the face's own tables
    // (HarfBuzz, as Qt's text engine shapes it), any other through Qt's own
    // layout (fallback fonts, marks, any script).
    void Shape(const TextFont& font, const QString& text);
    const std::vector<Placed>& Glyphs() const { return placed_; }
    std::vector<Placed>& Glyphs() { return placed_; }
    // What the glyphs stand for.
    QStringView Texts() const { return texts_; }

private:
    bool ShapePlain(std::size_t index, const QString& text);
    void ShapeWithQt(const TextFont& font, const QString& text);

    PageFonts& fonts_;
    hb_buffer_t* buffer_;
    std::vector<Placed> placed_;
    QString texts_;
};

}  // namespace report::pdf
