#pragma once
#include "print/engine/Prepared.h"
#include "print/pdf/PageFonts.h"

#include <QByteArray>

#include <memory>
#include <vector>

namespace report::pdf {

// A page as the writer takes it: its compressed content, and the fonts its
// text uses in the order the content names them (/F0, /F1, ...): each a face
// with the glyphs it shows on the page and the text each stands for. A face
// has more than one font on a page where one of its glyphs stands there for
// more than one text (see DocumentFonts).
struct RenderedPage {
    double width = 0, height = 0;  // of the paper, in points
    QByteArray content;
    std::vector<FaceUse> faces;
};

// Turns prepared pages into content streams (ContentStream): rectangles as
// paths, each line of text shaped as Qt's text engine shapes it (TextShaper)
// and written as one run of glyph numbers, placed where the painter places
// it, each glyph standing for the characters it shows (PageFonts); glyphs
// that show no character of their font (the missing-glyph box) and the
// glyphs of faces the document cannot embed are drawn as outlines, which
// stand for no text. A glyph that its box's clip hides entirely is left out,
// so that a reader copies out what the paper shows. One per thread: it keeps
// the fonts and faces it met, which belong to the thread that made them.
class PageRenderer {
public:
    // Every page drawn moved and scaled by `calibration` from the paper's top
    // left corner.
    explicit PageRenderer(const calibration::Calibration& calibration = {});
    ~PageRenderer();
    PageRenderer(const PageRenderer&) = delete;
    PageRenderer& operator=(const PageRenderer&) = delete;

    // Throws PrintError when the content cannot be compressed.
    RenderedPage Render(const PreparedPage& page);

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace report::pdf
