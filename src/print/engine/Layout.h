#pragma once
#include "print/engine/Model.h"
#include "print/engine/Prepared.h"

#include <QStringList>

#include <vector>

// Layout: a template's printable page turned into prepared pages, with the
// text objects' lines wrapped, positioned and split between pages.
namespace report {

// Text object insets and line spacing, in units.
constexpr double kInsetX = 2;
constexpr double kInsetY = 1;
constexpr double kLineSpacing = 2;

// The line pitch rule: each line takes the font's character height (the
// magnitude of Font.Height) times kLineHeightFactor, plus kLineSpacing. The
// factor makes an 8 pt font (10.666667 units) 10.822 units high, so 8 pt
// Courier New lines stand exactly 12.822 units apart, the pitch the summary
// sizes its body by. The rule depends on the size only, not on the face.
constexpr double kLineHeightFactor = 10.822 / (8.0 * 96.0 / 72.0);
double LineHeight(const TrepFont& font);
double LinePitch(const TrepFont& font);

// Lays the report's printable page out. Errors are appended to `errors`.
std::vector<PreparedPage> PagesOf(const TrepReport& report, QStringList& errors);

}  // namespace report
