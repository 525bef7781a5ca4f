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
    explicit Impl(const calibration::Calibration& calibration)
        : calibration_(calibration), buffer_(hb_buffer_create()) {}
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
        ++pages_;
        for (ThreadFace& face : faces_) face.fonts.clear();
        if (!calibration_.IsNone()) Calibrate();
        out_ += "0 j 2 J\n";
        for (const PreparedItem& item : page.items) {
            if (const auto* rect = std::get_if<PreparedRect>(&item))
                Rect(*rect);
            else
                Text(std::get<PreparedText>(item));
        }
        EndText();
        if (!calibration_.IsNone()) out_ += "Q\n";
        page_.content = Deflate(out_);
        return std::move(page_);
    }

private:
    // x' = x × scale + offset from the paper's top left corner, where PDF's
    // own origin is the bottom left corner.
    void Calibrate() {
        const calibration::Calibration& c = calibration_;
        out_ += "q ";
        for (const double value : {c.ScaleXFactor(), 0.0, 0.0, c.ScaleYFactor(), c.OffsetXMm() * kPointsPerMm,
                                   height_ * (1 - c.ScaleYFactor()) - c.OffsetYMm() * kPointsPerMm}) {
            AppendNumber(out_, value);
            out_ += ' ';
        }
        out_ += "cm\n";
    }

    // A face at one size, as this thread's text engine has it: `engine` at
    // the pixel size of a UnitFont, and the scale that takes it to the
    // template's height.
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
    // A glyph placed on the line: its face (in faces_) and number, its pen
    // position in units from the line's start on its baseline, and the text
    // it stands for, at `from` for `length` in the texts that Show is given.
    struct Placed {
        std::size_t face;
        unsigned glyph;
        double x, y;
        qsizetype from = 0, length = 0;
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
        face.points = engine.pixelSize() * scale * kPointsPerUnit;
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
        face.listedOn.assign(glyphs, 0);
        face.listedAs.resize(glyphs);
        faces_.push_back(std::move(face));
        return faces_.size() - 1;
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
        if (!PlainText(text.text) || !ShapePlain(font.face, text.text)) ShapeWithQt(font, text);
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
    bool ShapePlain(std::size_t index, const QString& text) {
        ThreadFace& face = faces_[index];
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
            // A cluster's characters go with its first glyph; the shaper
            // numbers clusters by their first character, in order.
            const unsigned cluster = glyphs[i].cluster;
            qsizetype length = 0;
            if (i == 0 || glyphs[i - 1].cluster != cluster) {
                unsigned next = i + 1;
                while (next < count && glyphs[next].cluster == cluster) ++next;
                length = (next < count ? qsizetype(glyphs[next].cluster) : text.size()) - cluster;
            }
            placed_.push_back({index, glyphs[i].codepoint, x, 0, cluster, length});
            x += face.Advance(glyphs[i].codepoint);
        }
        Show(text);
        return true;
    }

    // Any line, through Qt's own layout: fallback fonts, marks, any script.
    // Each glyph stands for the characters of its cluster (see Clusters),
    // given to the cluster's first glyph that is not the missing-glyph box.
    void ShapeWithQt(const TextFont& font, const PreparedText& text) {
        // The painter draws a line whole, on one baseline, and draws nothing
        // for a line separator, as for a line feed; the layout would begin a
        // new line at it, which it does not at a line feed.
        QString shaped = text.text;
        std::replace(shaped.begin(), shaped.end(), QChar(QChar::LineSeparator), QChar(u'\n'));
        QTextLayout layout(shaped, font.font.font, UnitsDevice());
        layout.setCacheEnabled(false);
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(1e6);
        line.setPosition(QPointF(0, 0));
        layout.endLayout();
        const double scale = font.font.scale;

        std::vector<Run> runs;
        for (const QGlyphRun& run : layout.glyphRuns())
            runs.push_back({run, FaceOf(run.rawFont(), scale), run.glyphIndexes(), run.positions()});
        const std::vector<Cluster> clusters = Clusters(line, text.text, runs);
        placed_.clear();
        const auto place = [&](const Run& run, qsizetype m, qsizetype from, qsizetype length) {
            placed_.push_back({run.face, run.glyphs[m], run.positions[m].x() * scale,
                               (run.positions[m].y() - line.ascent()) * scale, from, length});
        };
        for (const Cluster& cluster : clusters) {
            // The painter shows no soft hyphen, not even at the line's end,
            // where the layout does.
            if (cluster.softHyphens) continue;
            bool given = false;
            for (const auto& [k, m] : cluster.glyphs) {
                const bool carries = !given && runs[k].glyphs[m] != 0;
                place(runs[k], m, carries ? cluster.from : 0, carries ? cluster.length : 0);
                given = given || carries;
            }
        }
        // Glyphs that no character took, should there be any, are drawn all
        // the same and stand for nothing.
        for (const Run& run : runs) {
            for (qsizetype m = run.taken; m < run.glyphs.size(); ++m) place(run, m, 0, 0);
        }
        Show(texts_);
    }

    // The glyphs of one font (and direction) of a line laid out by Qt, and
    // how many of them the line's clusters took.
    struct Run {
        QGlyphRun run;
        std::size_t face;
        QList<quint32> glyphs;
        QList<QPointF> positions;
        qsizetype taken = 0;
    };
    // Characters of a line and the glyphs that show them: the text they
    // stand for (at `from` for `length` in texts_) and the glyphs as (run,
    // index).
    struct Cluster {
        qsizetype first;  // the first character
        qsizetype from, length;
        std::vector<std::pair<std::size_t, qsizetype>> glyphs;
        std::vector<qsizetype> counts;  // of its glyphs, by run
        bool softHyphens = true;        // of soft hyphens alone
    };

    // The clusters of `text` laid out as `line`, whose glyphs are `runs`, in
    // the order of its characters, which is left to right: the archive's
    // code page holds no right-to-left script. A character's glyph runs hold
    // the glyphs of its whole cluster, so where they are those of the
    // character before it the two may share a cluster: they do where they
    // show fewer glyphs together than apart. Characters that show no glyph
    // (soft hyphens within the line, tabs, line breaks) are in none and
    // stand for nothing; a reader sees a space in the blank a tab leaves
    // where it is wide enough to be seen. The glyphs of each run are given
    // out in order: the runs of a part of the line place glyphs after one
    // not shown (a soft hyphen's) as if it had its width, so a glyph is told
    // by how many come before it, never by where it stands.
    std::vector<Cluster> Clusters(const QTextLine& line, const QString& text, std::vector<Run>& runs) {
        // How many glyphs of each of the line's runs `parts` hold. (A part
        // of a joined glyph's characters is marked as such.)
        const auto counts = [&](const QList<QGlyphRun>& parts) {
            std::vector<qsizetype> n(runs.size(), 0);
            for (const QGlyphRun& part : parts) {
                const auto flags = part.flags() & ~QGlyphRun::SplitLigature;
                const auto k = std::size_t(std::find_if(runs.begin(), runs.end(), [&](const Run& run) {
                                               return run.run.rawFont() == part.rawFont() && run.run.flags() == flags;
                                           }) - runs.begin());
                if (k < n.size()) n[k] += part.glyphIndexes().size();
            }
            return n;
        };
        std::vector<Cluster> clusters;
        QList<QGlyphRun> before;  // the glyph runs of the last character that showed a glyph
        texts_.clear();
        for (qsizetype i = 0, length = 1; i < text.size(); i += length) {
            length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            const QList<QGlyphRun> parts = line.glyphRuns(int(i), int(length));
            if (parts.isEmpty()) continue;
            std::vector<qsizetype> added = counts(parts);
            bool joins = false;
            if (parts == before) {
                const Cluster& last = clusters.back();
                const std::vector<qsizetype> together =
                    counts(line.glyphRuns(int(last.first), int(i + length - last.first)));
                for (std::size_t k = 0; k < runs.size(); ++k) joins = joins || together[k] < last.counts[k] + added[k];
                for (std::size_t k = 0; joins && k < runs.size(); ++k)
                    added[k] = std::max<qsizetype>(0, together[k] - last.counts[k]);
            }
            before = parts;
            if (!joins) clusters.push_back({i, texts_.size(), 0, {}, std::vector<qsizetype>(runs.size(), 0)});
            Cluster& cluster = clusters.back();
            const QStringView character = QStringView(text).mid(i, length);
            texts_ += character;
            cluster.length += length;
            cluster.softHyphens = cluster.softHyphens && character == u"\u00AD";
            for (std::size_t k = 0; k < runs.size(); ++k) {
                for (; added[k] > 0 && runs[k].taken < runs[k].glyphs.size(); --added[k]) {
                    cluster.glyphs.emplace_back(k, runs[k].taken++);
                    ++cluster.counts[k];
                }
            }
        }
        return clusters;
    }

    // The page's font (its index among the page's fonts) in which `glyph`
    // of `face` stands for `text`: the face's first font on the page that
    // shows the glyph as `text` or not yet at all, or a new one.
    int FontFor(ThreadFace& face, unsigned glyph, QStringView text) {
        if (face.fonts.empty()) NewFont(face);
        if (face.listedOn[glyph] != pages_) {
            face.listedOn[glyph] = pages_;
            face.listedAs[glyph] = text.toString();
            page_.faces[std::size_t(face.fonts[0])].glyphs[glyph] = {face.face->widths[glyph], face.listedAs[glyph]};
            return face.fonts[0];
        }
        if (face.listedAs[glyph] == text) return face.fonts[0];
        for (std::size_t i = 1; i < face.fonts.size(); ++i) {
            Glyphs& glyphs = page_.faces[std::size_t(face.fonts[i])].glyphs;
            const auto [known, added] = glyphs.try_emplace(glyph, Glyph{face.face->widths[glyph], text.toString()});
            if (added || known->second.text == text) return face.fonts[i];
        }
        NewFont(face);
        page_.faces.back().glyphs[glyph] = {face.face->widths[glyph], text.toString()};
        return face.fonts.back();
    }
    void NewFont(ThreadFace& face) {
        face.fonts.push_back(int(page_.faces.size()));
        page_.faces.push_back({face.face, {}});
    }

    // Writes the placed glyphs, relative to the current line: a run of glyph
    // numbers for each baseline and font, each glyph moved only where the
    // widths would not put it. `texts` holds what they stand for.
    void Show(QStringView texts) {
        double pen = 0, baseline = NAN;
        bool open = false;
        const auto close = [&] {
            if (open) out_ += ")] TJ\n";
            open = false;
        };
        for (const Placed& placed : placed_) {
            ThreadFace& face = faces_[placed.face];
            if (!face.face || placed.glyph == 0) {
                close();
                Outline(face, placed);
                continue;
            }
            if (placed.glyph >= face.listedOn.size()) continue;
            const int name = FontFor(face, placed.glyph, texts.mid(placed.from, placed.length));
            const double size = face.points;
            BeginText();
            if (state_.face != name || state_.size != size) {
                close();
                out_ += "/F" + std::to_string(name) + ' ';
                AppendNumber(out_, size);
                out_ += " Tf\n";
                state_.face = name;
                state_.size = size;
            }
            const double x = X(line_.x() + placed.x);
            const double y = Y(line_.y() + placed.y);
            if (!open || y != baseline) {
                close();
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
            for (const char byte : {char(placed.glyph >> 8), char(placed.glyph & 0xff)}) {
                if (byte == '\r') {
                    out_ += "\\r";
                    continue;
                }
                if (byte == '(' || byte == ')' || byte == '\\') out_ += '\\';
                out_ += byte;
            }
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

    std::vector<TextFont> fonts_;
    std::size_t last_ = 0;
    std::vector<ThreadFace> faces_;
    const calibration::Calibration calibration_;
    hb_buffer_t* buffer_;
    std::vector<Placed> placed_;
    QString texts_;  // what the glyphs of a line laid out by Qt stand for
    QPointF line_;  // the current line's start on its baseline, in units
    RenderedPage page_;
    std::string out_;
    double height_ = 0, left_ = 0, top_ = 0;
    bool inText_ = false;
    State state_;
    long long pages_ = 0;  // pages rendered, this one included
};

PageRenderer::PageRenderer(const calibration::Calibration& calibration)
    : impl_(std::make_unique<Impl>(calibration)) {}
PageRenderer::~PageRenderer() = default;
RenderedPage PageRenderer::Render(const PreparedPage& page) { return impl_->Render(page); }

}  // namespace report::pdf
