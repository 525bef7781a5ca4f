#include "print/pdf/TextShaper.h"

#include <QGlyphRun>
#include <QTextLayout>

#include <algorithm>

namespace report::pdf {

namespace {

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
// stand for (at `from` for `length` in the line's texts) and the glyphs as (run,
// index).
struct Cluster {
    qsizetype first;  // the first character
    qsizetype from, length;
    std::vector<std::pair<std::size_t, qsizetype>> glyphs;
    std::vector<qsizetype> counts;  // of its glyphs, by run
    bool softHyphens = true;        // of soft hyphens alone
};

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
// What the glyphs stand for goes into `texts`.
std::vector<Cluster> Clusters(const QTextLine& line, const QString& text, std::vector<Run>& runs, QString& texts) {
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
    texts.clear();
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
        if (!joins) clusters.push_back({i, texts.size(), 0, {}, std::vector<qsizetype>(runs.size(), 0)});
        Cluster& cluster = clusters.back();
        const QStringView character = QStringView(text).mid(i, length);
        texts += character;
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

}  // namespace

TextShaper::TextShaper(PageFonts& fonts) : fonts_(fonts), buffer_(hb_buffer_create()) {}
TextShaper::~TextShaper() { hb_buffer_destroy(buffer_); }

void TextShaper::Shape(const TextFont& font, const QString& text) {
    if (!PlainText(text) || !ShapePlain(font.face, text)) ShapeWithQt(font, text);
}

// Shapes a plain line with the face's own tables as Qt's text engine
// does (no kerning; ligatures and the other default features), and places
// its glyphs with the advances Qt gives them. False when a character has
// no glyph in the face: the line then goes through Qt's layout.
bool TextShaper::ShapePlain(std::size_t index, const QString& text) {
    ThreadFace& face = fonts_.Face(index);
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
    texts_ = text;
    return true;
}

// Any line, through Qt's own layout: fallback fonts, marks, any script.
// Each glyph stands for the characters of its cluster (see Clusters),
// given to the cluster's first glyph that is not the missing-glyph box.
void TextShaper::ShapeWithQt(const TextFont& font, const QString& text) {
    // The painter draws a line whole, on one baseline, and draws nothing
    // for a line separator, as for a line feed; the layout would begin a
    // new line at it, which it does not at a line feed.
    QString shaped = text;
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
        runs.push_back({run, fonts_.FaceOf(run.rawFont(), scale), run.glyphIndexes(), run.positions()});
    const std::vector<Cluster> clusters = Clusters(line, text, runs, texts_);
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
}

}  // namespace report::pdf
