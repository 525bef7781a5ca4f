// The PDF writer: prepared pages straight into a PDF file, the text laid out
// by Qt exactly as a painter would draw it, each line written as one run of
// glyph numbers. Pages are turned into compressed content on every core and
// written in order as they come, so a long document holds only a few pages
// in memory; the fonts, cut down to the glyphs shown, come last.
#include "core/archive/ShortText.h"
#include "print/pdf/PdfFont.h"
#include "print/engine/Prepared.h"
#include "print/engine/Printers.h"

#include <QDateTime>
#include <QGlyphRun>
#include <QPainterPath>
#include <QRawFont>
#include <QSaveFile>
#include <QTextLayout>
#include <QThread>

#include <hb.h>
#include <zlib.h>

#include <pthread.h>
#include <csignal>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace report {
namespace {

using pdf::AppendNumber;
using pdf::Face;
using pdf::Glyphs;

constexpr double kPointsPerUnit = 72.0 / kUnitsPerInch;
constexpr double kPointsPerMm = 72.0 / 25.4;
// How far a glyph may stand from where the run's widths put it, in points,
// before the run moves it: a fraction of a pixel of any printer.
constexpr double kPlacement = 0.005;
// The zlib level of every stream. At 3 the summary of 100,000 records is as
// small as through Qt's own PDF engine (6 MB) in about 70 % of the time that
// level 6 takes to make it 5 MB.
constexpr int kCompression = 3;

QByteArray Deflate(std::string_view data) {
    uLongf length = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(length), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &length, reinterpret_cast<const Bytef*>(data.data()),
                  uLong(data.size()), kCompression) != Z_OK)
        throw PrintError("The document could not be compressed");
    out.truncate(qsizetype(length));
    return out;
}

// A page as the writer takes it: its compressed content, and the faces its
// text uses in the order the content names them (/F0, /F1, ...) with the
// glyphs each shows on it.
struct RenderedPage {
    struct FaceUse {
        std::shared_ptr<const Face> face;
        Glyphs glyphs;
    };
    double width = 0, height = 0;  // of the paper, in points
    QByteArray content;
    std::vector<FaceUse> faces;
};

// Whether Qt shapes `text` from its font's own tables alone, with no
// fallback font, reordering or invisible characters: printable text of the
// characters an archive holds (Windows-1252). Such a line is shaped here
// directly; any other goes through Qt's own layout.
bool PlainText(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return u >= 0x20 && u != 0x7F && u != 0xAD && !(u >= 0x80 && u < 0xA0) && CodePageByte(u) >= 0;
    });
}

// Turns prepared pages into content. One per thread: it keeps the fonts and
// faces it met, which belong to the thread that made them.
class PageRenderer {
public:
    PageRenderer() : buffer_(hb_buffer_create()) {}
    ~PageRenderer() { hb_buffer_destroy(buffer_); }
    PageRenderer(const PageRenderer&) = delete;
    PageRenderer& operator=(const PageRenderer&) = delete;

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
    // A face at one size, as this thread's text engine has it.
    struct ThreadFace {
        QRawFont font;
        std::shared_ptr<const Face> face;
        std::unique_ptr<hb_font_t, decltype(&hb_font_destroy)> shaper{nullptr, hb_font_destroy};
        std::vector<double> advances;  // units at this size, by glyph; < 0 until measured
        std::vector<char> shown;       // by glyph: already listed for this page
        int onPage = -1;               // index among the page's faces

        double Advance(unsigned glyph) {
            if (advances[glyph] < 0)
                advances[glyph] = font.advancesForGlyphIndexes(QList<quint32>{glyph}, QRawFont::UseDesignMetrics)
                                      .value(0)
                                      .x();
            return advances[glyph];
        }
    };
    // A font of the templates, as this thread lays text out in it.
    struct TextFont {
        QString name;
        double height;
        int style;
        QFont font;
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
            const QFont qfont(MakeFont(font, kUnitsPerInch), UnitsDevice());
            fonts_.push_back({font.Name, font.Height, font.Style, qfont, FaceOf(QRawFont::fromFont(qfont))});
        }
        return fonts_[last_];
    }

    std::size_t FaceOf(const QRawFont& font) {
        for (std::size_t i = 0; i < faces_.size(); ++i)
            if (faces_[i].font == font) return i;
        ThreadFace face;
        face.font = font;
        face.face = Face::Of(font);
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
        QTextLayout layout(text.text, font.font, UnitsDevice());
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
            for (qsizetype i = 0; i < glyphs.size(); ++i)
                placed_.push_back({glyphs[i], positions[i].x(), positions[i].y() - line.ascent()});
            Show(faces_[FaceOf(run.rawFont())], [&](std::size_t i) { return texts.value(placed_[i].glyph); });
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
        const double size = face.font.pixelSize() * kPointsPerUnit;
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
            const QPainterPath path = face.font.pathForGlyph(placed.glyph);
            const auto point = [&](const QPainterPath::Element& at, const char* op) {
                AppendNumber(out_, X(line_.x() + placed.x + at.x));
                out_ += ' ';
                AppendNumber(out_, Y(line_.y() + placed.y + at.y));
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

// Renders the pages on as many threads as the machine has cores and hands
// them to `take` on the calling thread, in order, each as soon as it and all
// before it are ready. The calling thread makes the pages, at most a few a
// thread ahead of the one it waits for.
template <typename Take>
void RenderInOrder(const PageStream& pages, Take take) {
    constexpr int kMinPagesPerThread = 4;
    const int total = pages.count;
    const int threads = std::min(std::max(1, QThread::idealThreadCount()), total / kMinPagesPerThread);
    if (threads < 2) {
        PageRenderer renderer;
        for (int i = 0; i < total; ++i) take(i, renderer.Render(pages.page(i)));
        return;
    }
    const int window = 8 * threads;
    std::vector<std::optional<PreparedPage>> made(std::size_t(window), std::nullopt);
    std::vector<std::optional<RenderedPage>> ready(std::size_t(window), std::nullopt);
    std::mutex mutex;
    std::condition_variable changed;
    int produced = 0, next = 0;
    bool stop = false;
    std::exception_ptr error;
    const auto work = [&] {
        // Signals that end the run are left to the thread that writes the
        // file, so that a handler tidying up never runs beside its writes.
        sigset_t all;
        sigfillset(&all);
        pthread_sigmask(SIG_BLOCK, &all, nullptr);
        PageRenderer renderer;
        for (;;) {
            int i;
            PreparedPage page;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || next < produced || next >= total; });
                if (stop || next >= total) return;
                i = next++;
                page = std::move(*made[std::size_t(i % window)]);
                made[std::size_t(i % window)].reset();
            }
            std::optional<RenderedPage> rendered;
            std::exception_ptr failed;
            try {
                rendered = renderer.Render(page);
            } catch (...) {
                failed = std::current_exception();
            }
            std::lock_guard lock(mutex);
            if (failed) {
                if (!error) error = failed;
                stop = true;
            } else {
                ready[std::size_t(i % window)] = std::move(rendered);
            }
            changed.notify_all();
        }
    };
    std::vector<std::thread> workers;
    const auto finish = [&] {
        {
            std::lock_guard lock(mutex);
            stop = true;
        }
        changed.notify_all();
        for (std::thread& worker : workers) worker.join();
    };
    for (int i = 0; i < threads; ++i) workers.emplace_back(work);
    try {
        for (int i = 0; i < total; ++i) {
            // Page j's places are free once page j - window is taken.
            for (; produced < std::min(total, i + window); ) {
                PreparedPage page = pages.page(produced);
                std::lock_guard lock(mutex);
                made[std::size_t(produced % window)] = std::move(page);
                ++produced;
                changed.notify_all();
            }
            RenderedPage page;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || ready[std::size_t(i % window)].has_value(); });
                if (error) break;
                page = std::move(*ready[std::size_t(i % window)]);
                ready[std::size_t(i % window)].reset();
            }
            take(i, std::move(page));
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    if (error) std::rethrow_exception(error);
}

// The file: numbered objects written one after the other, their places kept
// for the cross-reference table. Every write is checked.
class PdfFile {
public:
    PdfFile(QSaveFile& file) : file_(file) { Write("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n"); }

    int Reserve() {
        offsets_.push_back(-1);
        return int(offsets_.size());
    }
    void Object(int number, const QByteArray& body) {
        Begin(number);
        Write(body);
        Write("\nendobj\n");
    }
    void Stream(int number, const QByteArray& dictionary, const QByteArray& compressed) {
        Begin(number);
        Write("<< " + dictionary + " /Filter /FlateDecode /Length " + QByteArray::number(compressed.size()) +
              " >>\nstream\n");
        Write(compressed);
        Write("\nendstream\nendobj\n");
    }
    // The cross-reference table and trailer; then the file is complete.
    void Finish(int catalog, int info) {
        Flush();
        const qint64 start = written_;
        QByteArray table = "xref\n0 " + QByteArray::number(offsets_.size() + 1) + "\n0000000000 65535 f \n";
        for (const qint64 offset : offsets_) table += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
        table += "trailer\n<< /Size " + QByteArray::number(offsets_.size() + 1) + " /Root " + Ref(catalog) +
                 " /Info " + Ref(info) + " >>\nstartxref\n" + QByteArray::number(start) + "\n%%EOF\n";
        Write(table);
        Flush();
        if (!file_.flush() || !file_.commit()) Fail();
    }

    static QByteArray Ref(int number) { return QByteArray::number(number) + " 0 R"; }

private:
    void Begin(int number) {
        offsets_[std::size_t(number - 1)] = written_ + buffer_.size();
        Write(QByteArray::number(number) + " 0 obj\n");
    }
    void Write(const QByteArray& bytes) {
        buffer_ += bytes;
        if (buffer_.size() >= (1 << 16)) Flush();
    }
    void Flush() {
        if (buffer_.isEmpty()) return;
        if (file_.write(buffer_) != buffer_.size()) Fail();
        written_ += buffer_.size();
        buffer_.clear();
    }
    [[noreturn]] void Fail() {
        throw PrintError(QStringLiteral("Cannot write %1: %2").arg(file_.fileName(), file_.errorString()).toStdString());
    }

    QSaveFile& file_;
    std::vector<qint64> offsets_;
    QByteArray buffer_;
    qint64 written_ = 0;
};

// A text string of the document information.
QByteArray TextString(const QString& text) {
    QByteArray hex = "<FEFF";
    for (const QChar c : text) pdf::AppendHex(hex, c.unicode(), 4);
    return hex + '>';
}

// The faces the pages used, with every glyph shown on any page; written
// after the last page, each cut down to those glyphs.
class DocumentFonts {
public:
    explicit DocumentFonts(PdfFile& file) : file_(file) {}

    // The font object for `use`, which takes in its glyphs.
    int Add(RenderedPage::FaceUse& use) {
        auto found = std::find_if(fonts_.begin(), fonts_.end(),
                                  [&](const Font& font) { return font.face->key == use.face->key; });
        if (found == fonts_.end()) {
            fonts_.push_back({use.face, file_.Reserve(), {}});
            found = fonts_.end() - 1;
        }
        found->glyphs.merge(use.glyphs);
        return found->object;
    }

    void Write() {
        for (std::size_t i = 0; i < fonts_.size(); ++i) {
            const Font& font = fonts_[i];
            const Face& face = *font.face;
            // The tag that marks a cut-down font: six capitals, one set a font.
            QByteArray name = "VAAAAA+";
            for (std::size_t n = i, place = 5; n > 0 && place > 0; n /= 26, --place) name[place] = char('A' + n % 26);
            name += face.postScriptName;
            const int descendant = file_.Reserve(), descriptor = file_.Reserve(), program = file_.Reserve(),
                      unicode = file_.Reserve();
            file_.Object(font.object, "<< /Type /Font /Subtype /Type0 /BaseFont /" + name +
                                          " /Encoding /Identity-H /DescendantFonts [" + PdfFile::Ref(descendant) +
                                          "] /ToUnicode " + PdfFile::Ref(unicode) + " >>");
            file_.Object(descendant, "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /" + name +
                                         " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"
                                         " /FontDescriptor " +
                                         PdfFile::Ref(descriptor) + " /CIDToGIDMap /Identity /DW 0 /W " +
                                         pdf::Widths(font.glyphs) + " >>");
            QByteArray description = "<< /Type /FontDescriptor /FontName /" + name + " /Flags " +
                                     QByteArray::number(face.fixedPitch ? 33 : 32) + " /FontBBox [";
            for (const double edge : face.box) {
                AppendNumber(description, edge);
                description += ' ';
            }
            description += "] /ItalicAngle ";
            AppendNumber(description, face.italicAngle);
            description += " /Ascent ";
            AppendNumber(description, face.ascent);
            description += " /Descent ";
            AppendNumber(description, face.descent);
            description += " /CapHeight ";
            AppendNumber(description, face.capHeight);
            description += " /StemV 80 /FontFile2 " + PdfFile::Ref(program) + " >>";
            file_.Object(descriptor, description);
            const QByteArray subset = pdf::Subset(face, font.glyphs);
            file_.Stream(program, "/Length1 " + QByteArray::number(subset.size()), Deflate({subset.constData(), std::size_t(subset.size())}));
            const QByteArray map = pdf::ToUnicode(font.glyphs);
            file_.Stream(unicode, {}, Deflate({map.constData(), std::size_t(map.size())}));
        }
    }

private:
    struct Font {
        std::shared_ptr<const Face> face;
        int object;
        Glyphs glyphs;
    };
    PdfFile& file_;
    std::vector<Font> fonts_;
};

}  // namespace

void WritePdf(const PageStream& pages, const QString& path, const QString& title, const PageProgress& progress) {
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        throw PrintError(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()).toStdString());
    PdfFile pdf(file);
    const int catalog = pdf.Reserve(), tree = pdf.Reserve(), info = pdf.Reserve();
    DocumentFonts fonts(pdf);
    QByteArray kids;
    RenderInOrder(pages, [&](int i, RenderedPage page) {
        const int object = pdf.Reserve(), content = pdf.Reserve();
        QByteArray resources = "<< /ProcSet [/PDF /Text] /Font << ";
        for (std::size_t f = 0; f < page.faces.size(); ++f)
            resources += "/F" + QByteArray::number(qulonglong(f)) + ' ' + PdfFile::Ref(fonts.Add(page.faces[f])) + ' ';
        resources += ">> >>";
        QByteArray box = "[0 0 ";
        AppendNumber(box, page.width);
        box += ' ';
        AppendNumber(box, page.height);
        box += ']';
        pdf.Object(object, "<< /Type /Page /Parent " + PdfFile::Ref(tree) + " /MediaBox " + box + " /Resources " +
                               resources + " /Contents " + PdfFile::Ref(content) + " >>");
        pdf.Stream(content, {}, page.content);
        kids += PdfFile::Ref(object) + ' ';
        if (progress) progress(i + 1, pages.count);
    });
    fonts.Write();
    pdf.Object(tree, "<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pages.count) +
                         " >>");
    pdf.Object(catalog, "<< /Type /Catalog /Pages " + PdfFile::Ref(tree) + " >>");
    QByteArray information = "<< /Creator " + TextString(QStringLiteral("Velmora")) + " /Producer " +
                             TextString(QStringLiteral("Velmora")) + " /CreationDate (D:" +
                             QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() +
                             "Z)";
    if (!title.isEmpty()) information += " /Title " + TextString(title);
    pdf.Object(info, information + " >>");
    pdf.Finish(catalog, info);
}

}  // namespace report
