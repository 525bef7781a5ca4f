#pragma once
#include "print/pdf/PdfFont.h"

#include <memory>
#include <vector>

namespace report::pdf {

class PdfFile;

// The fonts of a document: each face the pages used embedded once, as a
// font subset of every glyph shown on any page, and written after the last
// page as one or more CID TrueType fonts over that subset, each with its
// ToUnicode map.
//
// A glyph may stand for different texts in one document (the space for a
// space and for a zero-width space, a letter for itself and, where a font
// lacks a precomposed letter, for the letter with its accent). A ToUnicode
// map gives each glyph one text, so the face then gets a further font over
// the same subset whose map gives the glyph its other text, and the pages
// name the font that says what each glyph stands for there. Marked content
// with an /ActualText would do the same within one font, but not every
// reader honours it, while every reader that extracts text reads ToUnicode;
// and glyph numbers given out per text as pages arrive would need the
// renderers, which work on several threads at once, to agree on them.
class DocumentFonts {
public:
    explicit DocumentFonts(PdfFile& file) : file_(file) {}

    // The number of the font object that shows `glyphs` of `face` as they
    // stand: the face's first font whose glyphs stand for the same texts,
    // which takes them in, or a new one.
    int Add(const std::shared_ptr<const Face>& face, Glyphs& glyphs);
    // Writes every font; once, after the last page.
    void Write();

private:
    struct Font {
        std::size_t face;  // in faces_
        int object;
        Glyphs glyphs;
    };
    PdfFile& file_;
    std::vector<std::shared_ptr<const Face>> faces_;
    std::vector<Font> fonts_;
};

}  // namespace report::pdf
