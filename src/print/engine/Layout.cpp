#include "print/engine/Layout.h"

#include "print/engine/Fonts.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace report {
namespace {

constexpr double kEpsilon = 1e-6;
// Units around a line's measured ink within which its box must lie for the
// line to be drawn without a clip: more than a pixel of the coarsest preview
// and than the measure's rounding at 96 dots per inch.
constexpr double kInkMargin = 1.0;

// Text measured in units, in the font at its template's height.
struct Measure {
    explicit Measure(const TrepFont& font) : Measure(MakeFont(font)) {}
    explicit Measure(const UnitFont& font) : metrics(font.font, UnitsDevice()), scale(font.scale) {}

    double Advance(const QString& line) const { return metrics.horizontalAdvance(line) * scale; }
    double Ascent() const { return metrics.ascent() * scale; }

    // Where the glyphs of `line` put ink, from the pen's position on the
    // baseline; rather too large than too small. Each character's advance and
    // ink are measured once; the line's ink is their union along the line,
    // grown by what the advances of the device may round apart from these.
    // A line of characters that join or combine is measured whole.
    QRectF Ink(const QString& line) {
        double pen = 0, left = 0, right = 0, top = 0, bottom = 0;
        bool inked = false;
        for (const QChar c : line) {
            if (c.unicode() >= latin_.size() && (c.isSurrogate() || c.isMark() || c.script() > QChar::Script_Latin))
                return Whole(line);
            const Glyph& glyph = GlyphOf(c.unicode());
            if (!glyph.ink.isEmpty()) {
                left = inked ? std::min(left, pen + glyph.ink.left()) : pen + glyph.ink.left();
                right = inked ? std::max(right, pen + glyph.ink.right()) : pen + glyph.ink.right();
                top = inked ? std::min(top, glyph.ink.top()) : glyph.ink.top();
                bottom = inked ? std::max(bottom, glyph.ink.bottom()) : glyph.ink.bottom();
                inked = true;
            }
            pen += glyph.advance;
        }
        const double rounding = line.size() / 64.0;
        return QRectF(QPointF(left - rounding, top), QPointF(right + rounding, bottom));
    }

private:
    struct Glyph {
        double advance = 0;
        QRectF ink;
        bool measured = false;
    };
    const Glyph& GlyphOf(char16_t c) {
        Glyph& glyph = c < latin_.size() ? latin_[c] : others_[c];
        if (!glyph.measured) glyph = {Advance(QString(QChar(c))), Whole(QString(QChar(c))), true};
        return glyph;
    }
    QRectF Whole(const QString& text) const {
        const QRectF ink = metrics.tightBoundingRect(text);
        return {ink.topLeft() * scale, ink.size() * scale};
    }

    QFontMetricsF metrics;
    double scale;
    std::array<Glyph, 256> latin_{};
    QHash<char16_t, Glyph> others_;
};

Measure& MeasureFor(const TrepFont& font) {
    static QHash<QString, std::shared_ptr<Measure>> cache;
    const QString key = font.Name + u'|' + QString::number(font.Height, 'g', 10) + u'|' +
                        QString::number(font.Style);
    auto it = cache.find(key);
    if (it == cache.end()) it = cache.insert(key, std::make_shared<Measure>(font));
    return *it.value();
}

// Breaks `line` into lines no wider than `width`, at spaces. A word wider
// than `width` stands on a line of its own and is cut at the box's edge.
QStringList Wrap(const QString& line, double width, const Measure& measure) {
    QStringList out;
    QString current;
    for (const QString& word : line.split(u' ')) {
        const QString candidate = current.isEmpty() ? word : current + u' ' + word;
        if (!current.isEmpty() && measure.Advance(candidate) > width + kEpsilon) {
            out << current;
            current = word;
        } else {
            current = candidate;
        }
    }
    out << current;
    return out;
}

// An object laid out in the coordinates of its band (or of the page for free
// objects), before it is cut into pages.
struct Block {
    QRectF box;
    QColor fill, frame;
    std::vector<PreparedText> lines;  // clip is set when placed on a page
    double lineHeight = 0;
};

Block BlockOf(const TrepView& view) {
    Block block;
    block.box = QRectF(view.Left, view.Top, view.Width, view.Height);
    block.fill = view.Color;
    const auto* memo = dynamic_cast<const TrepMemoView*>(&view);
    if (!memo) {
        block.frame = view.Frame.Color;
        return block;
    }
    Measure& measure = MeasureFor(memo->Font);
    const double innerWidth = view.Width - 2 * kInsetX;
    const double pitch = LinePitch(memo->Font);
    block.lineHeight = LineHeight(memo->Font);
    double top = view.Top + kInsetY;
    for (const QString& stored : memo->Memo()) {
        const QStringList lines = memo->WordWrap ? Wrap(stored, innerWidth, measure) : QStringList{stored};
        for (const QString& line : lines) {
            PreparedText text;
            text.x = view.Left + kInsetX;
            if (memo->HAlign == haCenter) text.x = view.Left + (view.Width - measure.Advance(line)) / 2;
            text.top = top;
            text.baseline = top + measure.Ascent();
            text.ink = measure.Ink(line)
                           .translated(text.x, text.baseline)
                           .adjusted(-kInkMargin, -kInkMargin, kInkMargin, kInkMargin);
            text.text = line;
            text.font = memo->Font;
            block.lines.push_back(std::move(text));
            top += pitch;
        }
    }
    return block;
}

// The first line of `block` that begins at or below `y`; lines are in
// order of their tops.
std::vector<PreparedText>::const_iterator FirstLineFrom(const Block& block, double y) {
    return std::lower_bound(block.lines.begin(), block.lines.end(), y - kEpsilon,
                            [](const PreparedText& line, double top) { return line.top < top; });
}

// A stretch of blocks' coordinates, from `from` to `to`, and how far it moves
// down to land on the page.
struct Slice {
    double from, to, shift;
};

// The whole of every block, where it stands: the objects straight on the page.
constexpr double kUnbounded = std::numeric_limits<double>::infinity();
constexpr Slice kWhole{-kUnbounded, kUnbounded, 0};

// Places the part of `blocks` within `slice` on `page`.
void Place(const std::vector<Block>& blocks, const Slice& slice, PreparedPage& page) {
    const auto [from, to, shift] = slice;
    for (const Block& block : blocks) {
        const double top = std::max(block.box.top(), from), bottom = std::min(block.box.bottom(), to);
        if (bottom < top || (bottom == top && block.box.height() > 0)) continue;
        const QRectF piece(block.box.left(), top + shift, block.box.width(), bottom - top);
        if (block.fill.isValid() || block.frame.isValid()) page.items.push_back(PreparedRect{piece, block.fill, block.frame});
        for (auto line = FirstLineFrom(block, from); line != block.lines.end() && line->top < to - kEpsilon; ++line) {
            PreparedText placed = *line;
            placed.clip = piece;
            placed.top += shift;
            placed.baseline += shift;
            placed.ink.translate(0, shift);
            page.items.push_back(std::move(placed));
        }
    }
}

// The lowest cut at or above `cut` that passes between whole lines.
double CutBetweenLines(const std::vector<Block>& blocks, double cut) {
    bool moved = true;
    while (moved) {
        moved = false;
        for (const Block& block : blocks) {
            // Only the last line that begins above the cut can cross it.
            auto line = FirstLineFrom(block, cut);
            if (line == block.lines.begin()) continue;
            --line;
            if (line->top + kEpsilon < cut && cut < line->top + block.lineHeight - kEpsilon) {
                cut = line->top;
                moved = true;
            }
        }
    }
    return cut;
}

class PageWriter {
public:
    PageWriter(const TrepReportPage& page, std::vector<PreparedPage>& out)
        : page_(page), out_(out),
          height_(MmToUnits(page.PaperHeight - page.TopMargin - page.BottomMargin)) {
        NewPage();
    }

    PreparedPage& Current() { return out_.back(); }

    // Places a band below what is already placed, across pages as needed.
    void PlaceBand(const TrepBand& band, bool allowSplit) {
        std::vector<Block> blocks;
        for (const auto& child : band.Children()) {
            if (auto* view = dynamic_cast<const TrepView*>(child.get())) blocks.push_back(BlockOf(*view));
        }
        double from = 0;
        while (band.Height - from > height_ - y_ + kEpsilon) {
            const bool freshPage = y_ <= kEpsilon;
            double cut = from + (height_ - y_);
            if (allowSplit || freshPage) cut = CutBetweenLines(blocks, cut);
            if (cut <= from + kEpsilon) {
                // Nothing fits here: move on, or on an empty page cut where
                // the page ends so that layout always advances.
                if (!freshPage) {
                    NewPage();
                    continue;
                }
                cut = from + height_;
            } else if (!allowSplit && !freshPage) {
                NewPage();
                continue;
            }
            Place(blocks, {from, cut, y_ - from}, Current());
            from = cut;
            NewPage();
        }
        Place(blocks, {from, band.Height, y_ - from}, Current());
        y_ += band.Height - from;
    }

private:
    void NewPage() {
        PreparedPage prepared;
        prepared.paperWidth = page_.PaperWidth;
        prepared.paperHeight = page_.PaperHeight;
        prepared.orientation = page_.Orientation();
        prepared.leftMargin = page_.LeftMargin;
        prepared.topMargin = page_.TopMargin;
        prepared.rightMargin = page_.RightMargin;
        prepared.bottomMargin = page_.BottomMargin;
        out_.push_back(std::move(prepared));
        y_ = 0;
    }

    const TrepReportPage& page_;
    std::vector<PreparedPage>& out_;
    double height_;
    double y_ = 0;
};

int BandRank(const TrepComponent& band) {
    if (dynamic_cast<const TrepReportTitle*>(&band)) return 0;
    if (dynamic_cast<const TrepMasterData*>(&band)) return 1;
    return 2;
}

}  // namespace

QPaintDevice* UnitsDevice() {
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(3780);  // 96.012 dpi, reported as 96
        image.setDotsPerMeterY(3780);
        return image;
    }();
    return &device;
}

UnitFont MakeFont(const TrepFont& font) {
    ReadProgramFontsIfNeeded();
    const double height = std::abs(font.Height);
    const int pixels = std::max(1, int(std::lround(height * kFontScale)));
    QFont qfont(InstalledFamily(font.Name));
    qfont.setPixelSize(pixels);
    qfont.setBold(font.Style & fsBold);
    qfont.setHintingPreference(QFont::PreferNoHinting);
    qfont.setKerning(false);
    return {qfont, height / pixels};
}

double LineHeight(const TrepFont& font) { return std::abs(font.Height) * kLineHeightFactor; }
double LinePitch(const TrepFont& font) { return LineHeight(font) + kLineSpacing; }

std::vector<PreparedPage> PagesOf(const TrepReport& report, QStringList& errors) {
    std::vector<PreparedPage> pages;
    const TrepReportPage* page = report.ReportPage();
    if (!page) {
        errors << QStringLiteral("The report has no printable page");
        return pages;
    }
    if (page->PaperHeight - page->TopMargin - page->BottomMargin <= 0 ||
        page->PaperWidth - page->LeftMargin - page->RightMargin <= 0) {
        errors << QStringLiteral("%1: the margins leave no printable area").arg(page->Name);
        return pages;
    }
    PageWriter writer(*page, pages);
    std::vector<Block> free;
    std::vector<const TrepBand*> bands;
    for (const auto& child : page->Children()) {
        if (auto* view = dynamic_cast<const TrepView*>(child.get())) free.push_back(BlockOf(*view));
        if (auto* band = dynamic_cast<const TrepBand*>(child.get())) bands.push_back(band);
    }
    Place(free, kWhole, writer.Current());
    std::stable_sort(bands.begin(), bands.end(),
                     [](const TrepBand* a, const TrepBand* b) { return BandRank(*a) < BandRank(*b); });
    for (const TrepBand* band : bands) {
        const auto* master = dynamic_cast<const TrepMasterData*>(band);
        const int times = master ? master->RowCount : 1;
        for (int i = 0; i < times; ++i) writer.PlaceBand(*band, master && master->AllowSplit);
    }
    return pages;
}

}  // namespace report
