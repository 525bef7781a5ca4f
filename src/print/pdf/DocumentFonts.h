#pragma once
#include "print/pdf/PdfFont.h"

#include <memory>
#include <vector>

namespace report::pdf {

class PdfFile;

// The fonts of a document: each face the pages used, with every glyph shown
// on any page, written after the last page as a font subset of those glyphs
// (a CID TrueType font with its ToUnicode map).
class DocumentFonts {
public:
    explicit DocumentFonts(PdfFile& file) : file_(file) {}

    // The number of the font object for `face`, which takes in `glyphs`.
    int Add(const std::shared_ptr<const Face>& face, Glyphs& glyphs);
    // Writes every font; once, after the last page.
    void Write();

private:
    struct Font {
        std::shared_ptr<const Face> face;
        int object;
        Glyphs glyphs;
    };
    PdfFile& file_;
    std::vector<Font> fonts_;
};

}  // namespace report::pdf
