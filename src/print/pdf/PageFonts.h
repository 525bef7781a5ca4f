#pragma once
#include "print/engine/Prepared.h"
#include "print/pdf/PdfFont.h"

#include <QRawFont>
#include <QStringView>

#include <hb.h>

#include <memory>
#include <vector>

// The fonts of the pages one thread renders: the faces its text engine draws
// with, the template fonts laid out in them, and for each page the fonts its
// content names (/F0, /F1, ...) with the glyphs each shows and their texts.
namespace report::pdf {

// Points (the PDF's unit) per report unit.
constexpr double kPointsPerUnit = 72.0 / kUnitsPerInch;

// A face with the glyphs it shows on a page and the text each stands for.
struct FaceUse {
    std::shared_ptr<const Face> face;
    Glyphs glyphs;
};

// A face at one size, as this thread's text engine has it: `engine` at the
// pixel size of a UnitFont, and the scale that takes it to the template's
// height.
struct ThreadFace {
    QRawFont engine;
    double scale = 1;
    double points = 0;  // the size it is written at
    std::shared_ptr<const Face> face;
    std::unique_ptr<hb_font_t, decltype(&hb_font_destroy)> shaper{nullptr, hb_font_destroy};
    std::vector<double> advances;  // units at this size, by glyph; < 0 until measured
    // The face's fonts on this page, as indexes among the page's fonts;
    // and by glyph, the page on which the first of them last showed it
    // and the text it stood for there.
    std::vector<int> fonts;
    std::vector<long long> listedOn;
    std::vector<QString> listedAs;

    // As the text engine advances: measured on `engine`, whose size keeps
    // the fractions of a pixel that a small one would round away.
    double Advance(unsigned glyph);
};

// A font of the templates, as this thread lays text out in it.
struct TextFont {
    QString name;
    double height;
    int style;
    UnitFont font;
    std::size_t face;  // its primary face
};

class PageFonts {
public:
    // A new page, whose fonts go into `faces`.
    void BeginPage(std::vector<FaceUse>& faces);

    TextFont& FontOf(const TrepFont& font);
    // The face (its index) that `engine` draws with at `scale`.
    std::size_t FaceOf(const QRawFont& engine, double scale);
    ThreadFace& Face(std::size_t index) { return faces_[index]; }

    // The page's font (its index among the page's fonts) in which `glyph`
    // of `face` stands for `text`: the face's first font on the page that
    // shows the glyph as `text` or not yet at all, or a new one. A glyph
    // that stands for two texts on one page gets a second font over the
    // same subset rather than marked content, which not every reader honours.
    int FontFor(ThreadFace& face, unsigned glyph, QStringView text);

private:
    void NewFont(ThreadFace& face);

    std::vector<TextFont> fonts_;
    std::size_t last_ = 0;
    std::vector<ThreadFace> faces_;
    std::vector<FaceUse>* page_ = nullptr;
    long long pages_ = 0;  // pages begun, this one included
};

}  // namespace report::pdf
