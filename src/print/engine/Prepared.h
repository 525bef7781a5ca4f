#pragma once
#include "print/engine/Model.h"

#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QStringList>

#include <variant>
#include <vector>

class QPaintDevice;

// Prepared pages: what layout produces and the painter draws. Plain data in
// report units; positions are measured from the top-left corner of the
// printable area (the paper less its margins).
namespace report {

// A filled and/or outlined rectangle: a shape, or the fill of a text box.
struct PreparedRect {
    QRectF rect;
    QColor fill;   // invalid: not filled
    QColor frame;  // invalid: no outline; otherwise 1 unit, solid
};

// One line of text, already wrapped and positioned. Nothing is drawn outside
// `clip`, the text object's box (its part on this page).
struct PreparedText {
    QRectF clip;
    QRectF ink;           // where the line's glyphs lie, with a margin: see NeedsClip
    double x = 0;         // where the line begins
    double top = 0;       // top of the line
    double baseline = 0;  // baseline of the line
    QString text;
    TrepFont font;

    // Whether clipping could cut anything: whether the line's ink, grown by a
    // margin wider than a pixel of any device and than the rounding of the
    // measure, reaches outside the box. Most lines lie well inside theirs;
    // drawing those without a clip places every glyph the same.
    bool NeedsClip() const { return !clip.contains(ink); }
};

using PreparedItem = std::variant<PreparedRect, PreparedText>;

struct PreparedPage {
    double paperWidth = 210, paperHeight = 297;  // mm, as oriented
    TPrinterOrientation orientation = poPortrait;
    double leftMargin = 0, topMargin = 0, rightMargin = 0, bottomMargin = 0;  // mm
    std::vector<PreparedItem> items;  // in drawing order

    double PaperWidthUnits() const { return MmToUnits(paperWidth); }
    double PaperHeightUnits() const { return MmToUnits(paperHeight); }
    double LeftMarginUnits() const { return MmToUnits(leftMargin); }
    double TopMarginUnits() const { return MmToUnits(topMargin); }
};

// The installed family drawn for a font name of the templates: Arial as
// Liberation Sans, Courier New as Liberation Mono (both metric compatible),
// Verdana as DejaVu Sans; any other name as itself.
QString InstalledFamily(const QString& name);

// A font of the templates as Qt can make it. Qt sizes a font in whole pixels
// (a size in points is rounded to them), and a template's heights are seldom
// whole: 7 pt is 9.333 units, which Qt would make 9. So the QFont is made
// kFontScale times as large, rounded to a whole pixel size, and `scale`, its
// true height over that size, takes whatever is measured or drawn in it to
// the template's size exactly: text drawn in `font` under a scale of `scale`
// is exactly `font`'s height in units. Unhinted, so that every measure scales
// with the size.
struct UnitFont {
    QFont font;    // sized in pixels, so alike on every device
    double scale;  // units per pixel of `font`
};
constexpr double kFontScale = 16;
UnitFont MakeFont(const TrepFont& font);

// A device of 96 dots per inch, for the measures and layouts that need one;
// fonts sized in pixels measure the same on any.
QPaintDevice* UnitsDevice();

}  // namespace report
