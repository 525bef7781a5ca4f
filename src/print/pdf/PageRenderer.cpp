#include "print/pdf/PageRenderer.h"

#include "print/engine/Printers.h"
#include "print/pdf/PdfFile.h"

#include <QGlyphRun>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>

#include <hb.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

namespace report::pdf {
namespace {

constexpr double kPointsPerUnit = 72.0 / kUnitsPerInch;
constexpr double kPointsPerMm = 72.0 / 25.4;
// How far a glyph may stand from where the run's widths put it, in points,
// before the run moves it: a fraction of a pixel of any printer.
constexpr double kPlacement = 0.005;

// Whether the shaper here shapes `text` as Qt's text engine would, from the
// primary font's own tables and as one left-to-right run of Latin script:
// letters of the Latin script, and digits, punctuation, symbols and spaces of
// no script; no control or format character (tab, soft hyphen, line breaks),
// no combining mark, no character outside the Basic Multilingual Plane. A
// character the font has no glyph for still sends the line to Qt's layout,
// which finds a fallback font (see ShapePlain). Any other line goes through
// Qt's own layout.
bool PlainText(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        switch (c.category()) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Other_Surrogate:
        case QChar::Other_PrivateUse:
        case QChar::Other_NotAssigned:
        case QChar::Mark_NonSpacing:
        case QChar::Mark_SpacingCombining:
        case QChar::Mark_Enclosing:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            return false;
        default:
            return c.script() == QChar::Script_Latin || c.script() == QChar::Script_Common;
        }
    });
}

}  // namespace

class PageRenderer::Impl {
public:
    Impl() : buffer_(hb_buffer_create()) {}
    ~Impl() { hb_buffer_destroy(buffer_); }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    RenderedPage Render(const PreparedPage& page) {
        page_ = {};
        out_.clear();
        height_ = page.paperHeight * kPointsPerMm;
        page_.width = page.paperWidth * kPointsPerMm;
        page_.height = height_;
        left_ = page.LeftMarginUnits();
        top_ = page.TopMarginUnits();
        inText_ = false;
        state_ = {};
        for (ThreadFace& face : faces_) face.onPage = -1;
        out_ += "0 j 2 J\n";
        for (const PreparedItem& item : page.items) {
            if (const auto* rect = std::get_if<PreparedRect>(&item))
                Rect(*rect);
            else
                Text(std::get<PreparedText>(item));
        }
        EndText();
        page_.content = Deflate(out_);
        return std::move(page_);
    }

private:
    // A face at one size, as this thread's text engine has it: `engine` at
    // the pixel size of a UnitFont, and the scale that takes it to the
    // template's height.
    struct ThreadFace {
        QRawFont engine;
        double scale = 1;
        std::shared_ptr<const Face> face;
        std::unique_ptr<hb_font_t, decltype(&hb_font_destroy)> shaper{nullptr, hb_font_destroy};
        std::vector<double> advances;  // units at this size, by glyph; < 0 until measured
        std::vector<char> shown;       // by glyph: already listed for this page
        int onPage = -1;               // index among the page's faces

        // As the text engine advances: measured on `engine`, whose size
        // keeps the fractions of a pixel that a small one would round away.
        double Advance(unsigned glyph) {
            if (advances[glyph] < 0)
                advances[glyph] = engine.advancesForGlyphIndexes(QList<quint32>{glyph}, QRawFont::UseDesignMetrics)
                                      .value(0)
                                      .x() *
                                  scale;
            return advances[glyph];
        }
    };
    // A font of the templates, as this thread lays text out in it.
    struct TextFont {
        QString name;
        double height;
        int style;
        UnitFont font;
        std::size_t face;  // its primary face
    };
    // What the content last set, so that it is set again only when it changes.
    struct State {
        int face = -1;
        double size = 0;
        QRgb fill = 0;
        bool fillSet = false;
    };
    // A glyph placed on the line: its number and its pen position in units
    // from the line's start on its baseline.
    struct Placed {
        unsigned glyph;
        double x, y;
    };

    double X(double units) const { return (left_ + units) * kPointsPerUnit; }
    double Y(double units) const { return height_ - (top_ + units) * kPointsPerUnit; }

    void Box(const QRectF& r) {
        AppendNumber(out_, X(r.left()));
        out_ += ' ';
        AppendNumber(out_, Y(r.bottom()));
        out_ += ' ';
        AppendNumber(out_, r.width() * kPointsPerUnit);
        out_ += ' ';
        AppendNumber(out_, r.height() * kPointsPerUnit);
        out_ += " re";
    }
    void Color(const QColor& color, const char* op) {
        AppendNumber(out_, color.redF());
        out_ += ' ';
        AppendNumber(out_, color.greenF());
        out_ += ' ';
        AppendNumber(out_, color.blueF());
        out_ += op;
    }
    void Fill(const QColor& color) {
        if (state_.fillSet && state_.fill == color.rgb()) return;
        Color(color, " rg\n");
        state_.fill = color.rgb();
        state_.fillSet = true;
    }
    void BeginText() {
        if (inText_) return;
        out_ += "BT\n";
        inText_ = true;
    }
    void EndText() {
        if (!inText_) return;
        out_ += "ET\n";
        inText_ = false;
    }

    void Rect(const PreparedRect& rect) {
        EndText();
        if (rect.fill.isValid()) {
            Fill(rect.fill);
            Box(rect.rect);
            out_ += " f\n";
        }
        if (rect.frame.isValid()) {
            // A 1-unit line centred on the box's edge, square caps, mitred.
            Color(rect.frame, " RG ");
            AppendNumber(out_, kPointsPerUnit);
            out_ += " w ";
            Box(rect.rect);
            out_ += " S\n";
        }
    }

    TextFont& FontOf(const TrepFont& font) {
        const auto same = [&](const TextFont& known) {
            return known.height == font.Height && known.style == font.Style && known.name == font.Name;
        };
        if (last_ < fonts_.size() && same(fonts_[last_])) return fonts_[last_];
        last_ = std::size_t(std::find_if(fonts_.begin(), fonts_.end(), same) - fonts_.begin());
        if (last_ == fonts_.size()) {
            const UnitFont unit = MakeFont(font);
            fonts_.push_back({font.Name, font.Height, font.Style, unit, FaceOf(QRawFont::fromFont(unit.font), unit.scale)});
        }
        return fonts_[last_];
    }

    std::size_t FaceOf(const QRawFont& engine, double scale) {
        for (std::size_t i = 0; i < faces_.size(); ++i)
            if (faces_[i].engine == engine && faces_[i].scale == scale) return i;
        ThreadFace face;
        face.engine = engine;
        face.scale = scale;
        face.face = Face::Of(engine);
        if (!face.face) {
            faces_.push_back(std::move(face));
            return faces_.size() - 1;
        }
        hb_blob_t* blob = hb_blob_create(face.face->sfnt.constData(), unsigned(face.face->sfnt.size()),
                                         HB_MEMORY_MODE_READONLY, nullptr, nullptr);
        hb_face_t* tables = hb_face_create(blob, 0);
        face.shaper.reset(hb_font_create(tables));
        hb_face_destroy(tables);
        hb_blob_destroy(blob);
        const auto glyphs = std::size_t(std::max(face.face->glyphCount, 0));
        face.advances.assign(glyphs, -1.0);
        face.shown.assign(glyphs, 0);
        faces_.push_back(std::move(face));
        return faces_.size() - 1;
    }

    // The page's name for the face, listing it on the page when it is new.
    int OnPage(ThreadFace& face) {
        if (face.onPage < 0) {
            face.onPage = int(page_.faces.size());
            page_.faces.push_back({face.face, {}});
            std::fill(face.shown.begin(), face.shown.end(), 0);
        }
        return face.onPage;
    }

    void Text(const PreparedText& text) {
        if (text.text.isEmpty()) return;
        const bool clipped = text.NeedsClip();
        State outside;
        if (clipped) {
            EndText();
            outside = state_;
            out_ += "q ";
            Box(text.clip);
            out_ += " W n\n";
        }
        Fill(text.font.Color);
        TextFont& font = FontOf(text.font);
        line_ = QPointF(text.x, text.baseline);
        if (!PlainText(text.text) || !ShapePlain(faces_[font.face], text.text)) ShapeWithQt(font, text);
        if (clipped) {
            EndText();
            out_ += "Q\n";
            state_ = outside;
        }
    }

    // Shapes a plain line with the face's own tables as Qt's text engine
    // does (no kerning; ligatures and the other default features), and places
    // its glyphs with the advances Qt gives them. False, with nothing
    // written, when a character has no glyph in the face.
    bool ShapePlain(ThreadFace& face, const QString& text) {
        if (!face.shaper) return false;
        hb_buffer_clear_contents(buffer_);
        hb_buffer_add_utf16(buffer_, reinterpret_cast<const uint16_t*>(text.utf16()), int(text.size()), 0,
                            int(text.size()));
        hb_buffer_set_direction(buffer_, HB_DIRECTION_LTR);
        const bool letters = std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
        hb_buffer_set_script(buffer_, letters ? HB_SCRIPT_LATIN : HB_SCRIPT_COMMON);
        hb_buffer_set_flags(buffer_, hb_buffer_flags_t(HB_BUFFER_FLAG_BOT | HB_BUFFER_FLAG_EOT));
        static const hb_feature_t kNoKerning = {HB_TAG('k', 'e', 'r', 'n'), 0, 0, unsigned(-1)};
        hb_shape(face.shaper.get(), buffer_, &kNoKerning, 1);
        unsigned count = 0;
        const hb_glyph_info_t* glyphs = hb_buffer_get_glyph_infos(buffer_, &count);
        placed_.clear();
        double x = 0;
        for (unsigned i = 0; i < count; ++i) {
            if (glyphs[i].codepoint == 0 || glyphs[i].codepoint >= face.advances.size()) return false;
            placed_.push_back({glyphs[i].codepoint, x, 0});
            x += face.Advance(glyphs[i].codepoint);
        }
        Show(face, [&](std::size_t i) {
            const unsigned end = i + 1 < count ? glyphs[i + 1].cluster : unsigned(text.size());
            return glyphs[i].cluster < end ? text.mid(glyphs[i].cluster, end - glyphs[i].cluster) : QString();
        });
        return true;
    }

    // Any line, through Qt's own layout: fallback fonts, marks, any script.
    void ShapeWithQt(const TextFont& font, const PreparedText& text) {
        QTextLayout layout(text.text, font.font.font, UnitsDevice());
        layout.setCacheEnabled(false);
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(1e6);
        line.setPosition(QPointF(0, 0));
        layout.endLayout();
        const QHash<unsigned, QString> texts = TextOfGlyphs(layout, text.text);
        for (const QGlyphRun& run : layout.glyphRuns()) {
            const QList<quint32> glyphs = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            placed_.clear();
            const double scale = font.font.scale;
            for (qsizetype i = 0; i < glyphs.size(); ++i)
                placed_.push_back({glyphs[i], positions[i].x() * scale, (positions[i].y() - line.ascent()) * scale});
            Show(faces_[FaceOf(run.rawFont(), scale)], [&](std::size_t i) { return texts.value(placed_[i].glyph); });
        }
    }

    // The text each glyph of the line shows, however Qt joined or split the
    // characters.
    static QHash<unsigned, QString> TextOfGlyphs(const QTextLayout& layout, const QString& text) {
        QHash<unsigned, QString> texts;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const int length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            for (const QGlyphRun& run : layout.glyphRuns(int(i), length))
                for (const quint32 glyph : run.glyphIndexes()) texts[glyph] += text.mid(i, length);
            i += length - 1;
        }
        return texts;
    }

    // Writes the placed glyphs of one face, relative to the current line:
    // one run of glyph numbers for each baseline, each glyph moved only where
    // the widths would not put it. `textOf(i)` is what glyph i shows.
    template <typename TextOf>
    void Show(ThreadFace& face, TextOf textOf) {
        if (!face.face) return Outline(face);
        BeginText();
        const int name = OnPage(face);
        const double size = face.engine.pixelSize() * face.scale * kPointsPerUnit;
        if (state_.face != name || state_.size != size) {
            out_ += "/F" + std::to_string(name) + ' ';
            AppendNumber(out_, size);
            out_ += " Tf\n";
            state_.face = name;
            state_.size = size;
        }
        Glyphs& shown = page_.faces[std::size_t(name)].glyphs;
        double pen = 0, baseline = NAN;
        bool open = false;
        for (std::size_t i = 0; i < placed_.size(); ++i) {
            const unsigned glyph = placed_[i].glyph;
            if (glyph >= face.shown.size()) continue;
            const double x = X(line_.x() + placed_[i].x);
            const double y = Y(line_.y() + placed_[i].y);
            if (y != baseline) {
                if (open) out_ += ")] TJ\n";
                out_ += "1 0 0 1 ";
                AppendNumber(out_, x);
                out_ += ' ';
                AppendNumber(out_, y);
                out_ += " Tm [(";
                open = true;
                baseline = y;
                pen = std::round(x * 1000) / 1000;
            } else if (std::abs(x - pen) > kPlacement) {
                const double move = std::round((pen - x) * 1000 / size * 1000) / 1000;
                out_ += ") ";
                AppendNumber(out_, move);
                out_ += " (";
                pen -= move * size / 1000;
            }
            // The glyph's number as two bytes of a string; a reader takes a
            // bare carriage return in a string for a line feed.
            for (const char byte : {char(glyph >> 8), char(glyph & 0xff)}) {
                if (byte == '\r') {
                    out_ += "\\r";
                    continue;
                }
                if (byte == '(' || byte == ')' || byte == '\\') out_ += '\\';
                out_ += byte;
            }
            const double width = face.face->widths[glyph];
            pen += width * size / 1000;
            if (!face.shown[glyph]) {
                face.shown[glyph] = 1;
                shown[glyph] = {width, textOf(i)};
            }
        }
        if (open) out_ += ")] TJ\n";
    }

    // The placed glyphs of a face the document cannot embed, drawn as their
    // outlines in the text's colour.
    void Outline(const ThreadFace& face) {
        EndText();
        for (const Placed& placed : placed_) {
            // The outline as the text engine has it, scaled to the height.
            const QPainterPath path = face.engine.pathForGlyph(placed.glyph);
            const auto point = [&](const QPainterPath::Element& at, const char* op) {
                AppendNumber(out_, X(line_.x() + placed.x + at.x * face.scale));
                out_ += ' ';
                AppendNumber(out_, Y(line_.y() + placed.y + at.y * face.scale));
                out_ += op;
            };
            for (int i = 0; i < path.elementCount(); ++i) {
                const QPainterPath::Element element = path.elementAt(i);
                if (element.isMoveTo()) {
                    point(element, " m\n");
                } else if (element.isLineTo()) {
                    point(element, " l\n");
                } else if (element.isCurveTo() && i + 2 < path.elementCount()) {
                    point(element, " ");
                    point(path.elementAt(i + 1), " ");
                    point(path.elementAt(i + 2), " c\n");
                    i += 2;
                }
            }
            if (!path.isEmpty()) out_ += "f\n";
        }
    }

    std::vector<TextFont> fonts_;
    std::size_t last_ = 0;
    std::vector<ThreadFace> faces_;
    hb_buffer_t* buffer_;
    std::vector<Placed> placed_;
    QPointF line_;  // the current line's start on its baseline, in units
    RenderedPage page_;
    std::string out_;
    double height_ = 0, left_ = 0, top_ = 0;
    bool inText_ = false;
    State state_;
};

PageRenderer::PageRenderer() : impl_(std::make_unique<Impl>()) {}
PageRenderer::~PageRenderer() = default;
RenderedPage PageRenderer::Render(const PreparedPage& page) { return impl_->Render(page); }

}  // namespace report::pdf
