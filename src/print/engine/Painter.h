#pragma once
#include "print/engine/Prepared.h"

class QImage;
class QPainter;

namespace report {

// Draws one prepared page with its paper's top-left corner at the painter's
// origin. `scale` is the device's pixels per report unit (a printer's
// resolution() / 96, a preview's zoom times its dpi / 96, an image's dpi /
// 96). Fonts are sized in units against that scale, never in screen pixels,
// at their templates' heights exactly (see MakeFont).
void DrawPage(QPainter& painter, const PreparedPage& page, double scale);

// The page as an image of `dpi` dots per inch, white paper.
QImage RenderPage(const PreparedPage& page, double dpi);

}  // namespace report
