#include "print/pdf/PageRenderer.h"

#include "print/engine/Pages.h"
#include "print/pdf/ContentStream.h"
#include "print/pdf/PageFonts.h"
#include "print/pdf/PdfFile.h"
#include "print/pdf/TextShaper.h"

#include <QList>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace report::pdf {
namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
// How far a glyph may stand from where the run's widths put it, in points,
// before the run moves it: a fraction of a pixel of any printer.
constexpr double kPlacement = 0.005;

}  // namespace

class PageRenderer::Impl {
public:
    explicit Impl(const calibration::Calibration& calibration) : calibration_(calibration), shaper_(fonts_) {}

    RenderedPage Render(const PreparedPage& page) {
        page_ = {};
        out_.Clear();
        height_ = page.paperHeight * kPointsPerMm;
        page_.width = page.paperWidth * kPointsPerMm;
        page_.height = height_;
        left_ = page.LeftMarginUnits();
        top_ = page.TopMarginUnits();
        inText_ = false;
        state_ = {};
        fonts_.BeginPage(page_.faces);
        if (!calibration_.IsNone()) Calibrate();
        out_.SetLineJoin(0);
        out_.SetLineCap(2);
        for (const PreparedItem& item : page.items) {
            if (const auto* rect = std::get_if<PreparedRect>(&item))
                Rect(*rect);
            else
                Text(std::get<PreparedText>(item));
        }
        EndText();
        if (!calibration_.IsNone()) out_.Restore();
        page_.content = Deflate(out_.Data());
        return std::move(page_);
    }

private:
    // What the content last set, so that it is set again only when it changes.
    struct State {
        int face = -1;
        double size = 0;
        QRgb fill = 0;
        bool fillSet = false;
    };

    // x' = x × scale + offset from the paper's top left corner, where PDF's
    // own origin is the bottom left corner.
    void Calibrate() {
        const calibration::Calibration& c = calibration_;
        out_.Save();
        out_.Concat(c.ScaleXFactor(), 0.0, 0.0, c.ScaleYFactor(), c.OffsetXMm() * kPointsPerMm,
                    height_ * (1 - c.ScaleYFactor()) - c.OffsetYMm() * kPointsPerMm);
    }

    double X(double units) const { return (left_ + units) * kPointsPerUnit; }
    double Y(double units) const { return height_ - (top_ + units) * kPointsPerUnit; }

    void Box(const QRectF& r) {
        out_.Rect(X(r.left()), Y(r.bottom()), r.width() * kPointsPerUnit, r.height() * kPointsPerUnit);
    }
    void Fill(const QColor& color) {
        if (state_.fillSet && state_.fill == color.rgb()) return;
        out_.SetFillRgb(color);
        state_.fill = color.rgb();
        state_.fillSet = true;
    }
    void BeginText() {
        if (inText_) return;
        out_.BeginText();
        inText_ = true;
    }
    void EndText() {
        if (!inText_) return;
        out_.EndText();
        inText_ = false;
    }

    void Rect(const PreparedRect& rect) {
        EndText();
        if (rect.fill.isValid()) {
            Fill(rect.fill);
            Box(rect.rect);
            out_.Fill();
        }
        if (rect.frame.isValid()) {
            // A 1-unit line centred on the box's edge, square caps, mitred.
            out_.SetStrokeRgb(rect.frame);
            out_.SetLineWidth(kPointsPerUnit);
            Box(rect.rect);
            out_.Stroke();
        }
    }

    // A line of text, shaped and clipped to its box. The page is what a
    // reader copies out: a glyph that the box hides entirely is not written
    // at all, so it stands for no text either.
    void Text(const PreparedText& text) {
        if (text.text.isEmpty()) return;
        line_ = QPointF(text.x, text.baseline);
        shaper_.Shape(fonts_.FontOf(text.font), text.text);
        const bool clipped = text.NeedsClip();
        if (clipped) {
            std::vector<Placed>& glyphs = shaper_.Glyphs();
            glyphs.erase(std::remove_if(glyphs.begin(), glyphs.end(),
                                        [&](const Placed& placed) { return !text.clip.intersects(ShownBox(placed)); }),
                         glyphs.end());
            if (glyphs.empty()) return;
        }
        State outside;
        if (clipped) {
            EndText();
            outside = state_;
            out_.Save();
            Box(text.clip);
            out_.Clip();
        }
        Fill(text.font.Color);
        Show();
        if (clipped) {
            EndText();
            out_.Restore();
            state_ = outside;
        }
    }

    // Where a placed glyph shows, in units: its ink's box; for a glyph with
    // no ink (a space), the span of its advance where the line's small
    // letters stand, between the baseline and the x-height.
    QRectF ShownBox(const Placed& placed) {
        const ThreadFace& face = fonts_.Face(placed.face);
        const QPointF pen = line_ + QPointF(placed.x, placed.y);
        QRectF box = face.engine.boundingRect(placed.glyph);
        if (box.isEmpty()) {
            const double advance =
                face.engine.advancesForGlyphIndexes(QList<quint32>{placed.glyph}, QRawFont::UseDesignMetrics).value(0).x();
            box = QRectF(0, -face.engine.xHeight(), advance, face.engine.xHeight());
        }
        return {pen + box.topLeft() * face.scale, box.size() * face.scale};
    }

    // Writes the shaped glyphs, relative to the current line: a run of glyph
    // numbers for each baseline and font, each glyph moved only where the
    // widths would not put it.
    void Show() {
        const QStringView texts = shaper_.Texts();
        double pen = 0, baseline = NAN;
        bool open = false;
        const auto close = [&] {
            if (open) out_.EndGlyphs();
            open = false;
        };
        for (const Placed& placed : shaper_.Glyphs()) {
            ThreadFace& face = fonts_.Face(placed.face);
            if (!face.face || placed.glyph == 0) {
                close();
                Outline(face, placed);
                continue;
            }
            if (placed.glyph >= face.listedOn.size()) continue;
            const int name = fonts_.FontFor(face, placed.glyph, texts.mid(placed.from, placed.length));
            const double size = face.points;
            BeginText();
            if (state_.face != name || state_.size != size) {
                close();
                out_.SetFont(name, size);
                state_.face = name;
                state_.size = size;
            }
            const double x = X(line_.x() + placed.x);
            const double y = Y(line_.y() + placed.y);
            if (!open || y != baseline) {
                close();
                out_.SetTextMatrix(x, y);
                out_.BeginGlyphs();
                open = true;
                baseline = y;
                pen = std::round(x * 1000) / 1000;
            } else if (std::abs(x - pen) > kPlacement) {
                const double move = std::round((pen - x) * 1000 / size * 1000) / 1000;
                out_.MoveGlyphs(move);
                pen -= move * size / 1000;
            }
            out_.AddGlyph(placed.glyph);
            pen += face.face->widths[placed.glyph] * size / 1000;
        }
        close();
    }

    // A glyph drawn as its outline in the text's colour: a glyph of a face
    // the document cannot embed, or the missing-glyph box, which a reader
    // might not draw from the font and which stands for no text.
    void Outline(const ThreadFace& face, const Placed& placed) {
        EndText();
        // The outline as the text engine has it, scaled to the height.
        const QPainterPath path = face.engine.pathForGlyph(placed.glyph);
        const auto x = [&](const QPainterPath::Element& at) { return X(line_.x() + placed.x + at.x * face.scale); };
        const auto y = [&](const QPainterPath::Element& at) { return Y(line_.y() + placed.y + at.y * face.scale); };
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element element = path.elementAt(i);
            if (element.isMoveTo()) {
                out_.MoveTo(x(element), y(element));
            } else if (element.isLineTo()) {
                out_.LineTo(x(element), y(element));
            } else if (element.isCurveTo() && i + 2 < path.elementCount()) {
                const QPainterPath::Element second = path.elementAt(i + 1), third = path.elementAt(i + 2);
                out_.CurveTo(x(element), y(element), x(second), y(second), x(third), y(third));
                i += 2;
            }
        }
        if (!path.isEmpty()) out_.Fill();
    }

    const calibration::Calibration calibration_;
    PageFonts fonts_;
    TextShaper shaper_;
    QPointF line_;  // the current line's start on its baseline, in units
    RenderedPage page_;
    ContentStream out_;
    double height_ = 0, left_ = 0, top_ = 0;
    bool inText_ = false;
    State state_;
};

PageRenderer::PageRenderer(const calibration::Calibration& calibration)
    : impl_(std::make_unique<Impl>(calibration)) {}
PageRenderer::~PageRenderer() = default;
RenderedPage PageRenderer::Render(const PreparedPage& page) { return impl_->Render(page); }

}  // namespace report::pdf
