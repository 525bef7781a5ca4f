#include "support/Templates.h"

#include "print/engine/Painter.h"
#include "print/templates/LabelSheet.h"
#include "support/TestSupport.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace report_tests {
namespace {

class PdfWriter : public testing::Test {
protected:
    void SetUp() override { testing_support::EnsureApplication(); }

    // The page as Qt's own PDF engine draws it through the painter.
    QString DrawnByQt(const PreparedPage& page) {
        const QString path = dir.filePath(QStringLiteral("qt.pdf"));
        QPdfWriter pdf(path);
        pdf.setResolution(1200);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, {}, QPageLayout::Millimeter, {}));
        QPainter painter(&pdf);
        DrawPage(painter, page, pdf.logicalDpiX() / kUnitsPerInch);
        painter.end();
        return path;
    }

    QTemporaryDir dir;
};

// Every word stands where Qt's own PDF engine puts it, in each template
// font, plain and bold: lines of the characters an archive holds (letters
// that join, accents, the euro and quotes), digits alone, letters of other
// scripts that Qt lays out itself, and a line cut at its box.
TEST_F(PdfWriter, WordsStandWhereQtsPdfEnginePutsThem) {
    const QString lines[] = {
        QStringLiteral("Rossi Mario & Figli S.r.l. <ufficio acquisti>"),
        QStringLiteral("fiffi office affluente flusso Waffle"),
        QStringLiteral("Perché è già più Ünd Ñandú ß Ø ÿ"),
        QStringLiteral("€ 1.234,56 – “citazione” ‘a’ Œuvre Šárka … ™"),
        QStringLiteral("12/05/2025 14:05:33"),
        QStringLiteral("Łódź Ωμέγα Жук"),
    };
    // Letters whose glyph numbers hold a byte a PDF string must escape:
    // parentheses, backslash, carriage return.
    const auto escaped = [](const char* font, int style) {
        TrepFont trep;
        trep.Name = QString::fromLatin1(font);
        trep.Style = style;
        const QRawFont raw = QRawFont::fromFont(MakeFont(trep).font);
        QString letters;
        for (char16_t c = 0x21; c <= 0xFF; ++c) {
            const QList<quint32> glyphs = raw.glyphIndexesForString(QString(QChar(c)));
            if (c != 0xAD && !glyphs.isEmpty() && QByteArrayView("()\\\r").contains(char(glyphs[0] & 0xff)))
                letters += QChar(c);
        }
        return letters;
    };
    auto report = NewReport();
    TrepReportPage& page = PageOf(*report);
    int n = 0;
    for (const char* font : {"Arial", "Courier New", "Verdana"}) {
        for (const int style : {fsNone, fsBold}) {
            QStringList texts(std::begin(lines), std::end(lines));
            texts << escaped(font, style);
            EXPECT_FALSE(texts.last().isEmpty()) << font;
            for (const QString& line : texts) {
                auto& memo = AddMemo(page, QStringLiteral("m%1").arg(n), {MmToUnits(5.3), MmToUnits(4.1 + 5.8 * n),
                                                                           MmToUnits(150), MmToUnits(6)},
                                     line, QString::fromLatin1(font), 8 + n % 3);
                memo.Font.Style = style;
                ++n;
            }
        }
    }
    AddMemo(page, QStringLiteral("cut"), {MmToUnits(5), MmToUnits(272), MmToUnits(20), MmToUnits(5)},
            QStringLiteral("WWWWWWWWWWWWWWWWWWWW"), QStringLiteral("Arial"), 9);
    ASSERT_TRUE(report->PrepareReport(true));
    const PreparedPage& prepared = report->PreparedPages().at(0);
    ASSERT_EQ(report->PreparedPages().size(), 1u);

    const QString ours = dir.filePath(QStringLiteral("ours.pdf"));
    WritePdf(StreamOf({&prepared}), ours);
    const std::vector<PdfWord> expected = PdfWords(DrawnByQt(prepared));
    const std::vector<PdfWord> actual = PdfWords(ours);
    ASSERT_GT(expected.size(), 150u);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE(expected[i].text.toStdString());
        if (expected[i].text == QStringLiteral("WWWWWWWWWWWWWWWWWWWW")) {
            // Qt's engine writes the whole cut line into the text; ours, the
            // W's the box shows: up to the one its edge (35 mm) cuts.
            const double width = (expected[i].right - expected[i].left) / 20;
            EXPECT_TRUE(expected[i].text.startsWith(actual[i].text)) << actual[i].text.toStdString();
            EXPECT_NEAR(actual[i].left, expected[i].left, 0.005);
            EXPECT_GT(actual[i].right, 35);
            EXPECT_LE(actual[i].right, 35 + width);
            continue;
        }
        // Qt names a joined glyph by its presentation form ("ﬃ"); here it
        // stands for the letters it joins.
        EXPECT_EQ(actual[i].text.normalized(QString::NormalizationForm_KC),
                  expected[i].text.normalized(QString::NormalizationForm_KC));
        EXPECT_NEAR(actual[i].left, expected[i].left, 0.005);
        EXPECT_NEAR(actual[i].right, expected[i].right, 0.02);
        EXPECT_NEAR(actual[i].top, expected[i].top, 0.05);
        EXPECT_NEAR(actual[i].bottom, expected[i].bottom, 0.05);
    }

    // The cut line inks its box (15..35 mm across, 282..287 mm down) and
    // stops at its edge.
    const QImage image = RenderedPdf(ours, 150);
    ASSERT_FALSE(image.isNull());
    const QRectF cut = InkMm(image, 150, {0, 282, 210, 5});
    EXPECT_NEAR(cut.left(), 15 + UnitsToMm(kInsetX), 0.2);
    EXPECT_NEAR(cut.right(), 35, 0.2) << "the cut line shows only what fits its box";

    // Each font is embedded, cut down to the glyphs shown.
    QProcess fonts;
    fonts.start(QStringLiteral("pdffonts"), {ours});
    ASSERT_TRUE(fonts.waitForFinished());
    const QStringList rows = QString::fromUtf8(fonts.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts).mid(2);
    EXPECT_GE(rows.size(), 6) << "three families, plain and bold";
    for (const QString& row : rows) {
        EXPECT_TRUE(row.contains(QRegularExpression(QStringLiteral("CID TrueType +Identity-H +yes +yes +yes"))))
            << row.toStdString();
    }
}

// A face the document cannot embed (here one that is not TrueType) is drawn
// as its glyphs' outlines, where Qt's own PDF engine draws its text: within
// 0.127 mm, measured at 400 dots per inch, where the two rasterised edges of
// a glyph do not land a whole measuring pixel apart by chance.
TEST_F(PdfWriter, AFaceThatCannotBeEmbeddedIsDrawnAsOutlines) {
    // C059 comes with Ghostscript, which the print filters bring.
    const QString family = QStringLiteral("C059");
    const QFont font(family);
    if (!QFontInfo(font).family().startsWith(family) || !QRawFont::fromFont(font).fontTable("glyf").isEmpty())
        GTEST_SKIP() << "no font " << family.toStdString() << " other than TrueType is installed";
    auto report = NewReport();
    AddMemo(PageOf(*report), QStringLiteral("cff"), {MmToUnits(20), MmToUnits(30), MmToUnits(150), MmToUnits(10)},
            QStringLiteral("Velmora Nimbus 123"), family, 14);
    ASSERT_TRUE(report->PrepareReport(true));
    const PreparedPage& page = report->PreparedPages().at(0);
    const QString ours = dir.filePath(QStringLiteral("ours.pdf"));
    WritePdf(StreamOf({&page}), ours);
    const QRectF drawn = InkMm(RenderedPdf(ours, 400), 400, {0, 0, 210, 297});
    const QRectF expected = InkMm(RenderedPdf(DrawnByQt(page), 400), 400, {0, 0, 210, 297});
    ASSERT_FALSE(expected.isEmpty());
    const double tolerance = 25.4 / 200;
    EXPECT_NEAR(drawn.left(), expected.left(), tolerance);
    EXPECT_NEAR(drawn.top(), expected.top(), tolerance);
    EXPECT_NEAR(drawn.right(), expected.right(), tolerance);
    EXPECT_NEAR(drawn.bottom(), expected.bottom(), tolerance);
    EXPECT_TRUE(PdfWords(ours).empty()) << "outlines, not text";
}

// What each line copies out as, page after page, is what it shows on paper,
// however it is laid out: by the shaper (plain Latin lines) or by Qt (any
// other), with characters that show nothing or the missing-glyph box,
// whichever of its glyphs stand for other texts elsewhere in the document:
// in table order, reversed, in other fonts and in table order again, read by
// poppler and by mupdf.
TEST_F(PdfWriter, EveryLineCopiesOutAsItShowsOnPaper) {
    struct Line {
        const char* what;
        QString text;
        QString shown;
    };
    std::vector<Line> lines = {
        // Qt shows it with the space's glyph, which stands for spaces too.
        {"a zero-width space, by Qt", QStringLiteral("Rossi\u200BBianchi"), QStringLiteral("Rossi\u200BBianchi")},
        {"a soft hyphen, by Qt", QStringLiteral("Via Ros\u00ADsini 10"), QStringLiteral("Via Rossini 10")},
        {"the same letters, by the shaper", QStringLiteral("Anna Rossi"), QStringLiteral("Anna Rossi")},
        {"a soft hyphen at the end", QStringLiteral("Bianchi\u00AD"), QStringLiteral("Bianchi")},
        // DejaVu Sans (Verdana) joins "ffi" in one glyph.
        {"letters joined, by Qt", QStringLiteral("Ufficio\u00AD"), QStringLiteral("Ufficio")},
        {"a tab", QStringLiteral("Anna\tRossi"), QStringLiteral("Anna Rossi")},
        {"a line feed", QStringLiteral("Scala B\nInterno 4"), QStringLiteral("Scala BInterno 4")},
        {"a carriage return and a line feed", QStringLiteral("Scala C\r\nInterno 5"), QStringLiteral("Scala CInterno 5")},
        {"a line separator", QStringLiteral("Scala D\u2028Interno 6"), QStringLiteral("Scala DInterno 6")},
        {"a paragraph separator", QStringLiteral("Scala E\u2029Interno 7"), QStringLiteral("Scala EInterno 7")},
        {"a control character", QStringLiteral("Verdi\u0001 10"), QStringLiteral("Verdi 10")},
        {"Cyrillic, by Qt", QStringLiteral("Жук Жук"), QStringLiteral("Жук Жук")},
    };
    // The five bytes Windows-1252 leaves undefined, as the archive reads them.
    for (const char16_t byte : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        lines.push_back({"an undefined byte", QStringLiteral("Conto") + QChar(byte) + QStringLiteral(" 7"),
                         QStringLiteral("Conto 7")});

    struct Page {
        const char* font;
        double points;
        bool reversed;
    };
    const Page pages[] = {
        {"Arial", 10, false}, {"Arial", 10, true}, {"Courier New", 8, false}, {"Verdana", 9, false}, {"Arial", 10, false}};
    std::vector<std::unique_ptr<TrepReport>> reports;
    std::vector<const PreparedPage*> prepared;
    std::vector<std::vector<Line>> orders;  // by page
    for (const Page& page : pages) {
        std::vector<Line>& order = orders.emplace_back(lines);
        if (page.reversed) std::reverse(order.begin(), order.end());
        auto report = NewReport();
        for (std::size_t i = 0; i < order.size(); ++i) {
            auto& memo = AddMemo(PageOf(*report), QStringLiteral("m%1").arg(i),
                                 {MmToUnits(10), MmToUnits(10 + 9.0 * double(i)), MmToUnits(150), MmToUnits(6)},
                                 QString(), QString::fromLatin1(page.font), page.points);
            // One stored line, whatever it holds.
            memo.Clear();
            memo.Add(order[i].text);
        }
        ASSERT_TRUE(report->PrepareReport(true));
        prepared.push_back(&report->PreparedPages().at(0));
        reports.push_back(std::move(report));
    }
    const QString pdf = dir.filePath(QStringLiteral("lines.pdf"));
    WritePdf(StreamOf(prepared), pdf);
    for (std::size_t page = 0; page < prepared.size(); ++page) {
        SCOPED_TRACE(page + 1);
        for (const PdfReader reader : {PdfReader::Poppler, PdfReader::MuPdf}) {
            SCOPED_TRACE(reader == PdfReader::Poppler ? "poppler" : "mupdf");
            const QStringList copied = PdfLines(pdf, reader, int(page + 1));
            const std::vector<Line>& order = orders[page];
            ASSERT_EQ(std::size_t(copied.size()), order.size()) << copied.join(u'|').toStdString();
            for (std::size_t i = 0; i < order.size(); ++i)
                EXPECT_EQ(copied[qsizetype(i)].toStdString(), order[i].shown.toStdString()) << order[i].what;
        }
    }
}

// The text layer is the paper: a label's line cut at the label's edge copies
// out as far as it shows, and what follows a line break stored in a field,
// which the label's one-line box hides, not at all; read by poppler and by
// mupdf, in the order the paper shows the lines.
TEST_F(PdfWriter, WhatTheLabelHidesCopiesOutAsNothing) {
    QStringList words;
    for (int i = 1; i <= 25; ++i) words << QStringLiteral("PAROLA%1").arg(i, 3, 10, QLatin1Char('0'));
    const QString longLine = words.join(u' ') + u'.';
    ASSERT_EQ(longLine.size(), 250);
    label_sheet::Lines lines;
    lines[0] = {longLine, QStringLiteral("Prima\r\nSeconda"), QStringLiteral("Terzo"), {}, {}, {}};
    auto sheet = label_sheet::Build(label_sheet::kPageName);
    ASSERT_TRUE(label_sheet::FillAndPrepare(*sheet, lines));
    const PreparedPage& page = sheet->PreparedPages().at(0);

    // What the paper shows of the long line: the characters whose ink
    // begins inside the label's box.
    const auto line = std::find_if(page.items.begin(), page.items.end(), [&](const PreparedItem& item) {
        const auto* text = std::get_if<PreparedText>(&item);
        return text && text->text == longLine;
    });
    ASSERT_NE(line, page.items.end());
    const PreparedText& cut = std::get<PreparedText>(*line);
    const UnitFont font = MakeFont(cut.font);
    const QFontMetricsF metrics(font.font, UnitsDevice());
    qsizetype shown = 0;
    while (shown < longLine.size() &&
           cut.x + (metrics.horizontalAdvance(longLine.left(shown)) + metrics.leftBearing(longLine[shown])) * font.scale <
               cut.clip.right())
        ++shown;
    ASSERT_GT(shown, 10);
    ASSERT_LT(shown, 100) << "the line runs past its label";

    const QString pdf = dir.filePath(QStringLiteral("cut.pdf"));
    WritePdf(StreamOf({&page}), pdf);
    const QStringList expected = {longLine.left(shown).trimmed(), QStringLiteral("Prima"), QStringLiteral("Terzo")};
    for (const PdfReader reader : {PdfReader::Poppler, PdfReader::MuPdf}) {
        SCOPED_TRACE(reader == PdfReader::Poppler ? "poppler" : "mupdf");
        EXPECT_EQ(PdfLines(pdf, reader).join(u'|').toStdString(), expected.join(u'|').toStdString());
    }
}

// A font subset is tagged from the glyphs it holds: the same subset alike in
// any document, different subsets differently.
TEST_F(PdfWriter, SubsetTagsFollowTheGlyphsTheSubsetHolds) {
    // The names of the document's fonts, as pdffonts lists them.
    const auto fontsFor = [&](const QString& text, const QString& name) {
        auto report = NewReport();
        AddMemo(PageOf(*report), QStringLiteral("plain"), {MmToUnits(10), MmToUnits(10), MmToUnits(150), MmToUnits(6)},
                text, QStringLiteral("Arial"), 10);
        AddMemo(PageOf(*report), QStringLiteral("bold"), {MmToUnits(10), MmToUnits(20), MmToUnits(150), MmToUnits(6)},
                text, QStringLiteral("Arial"), 10)
            .Font.Style = fsBold;
        EXPECT_TRUE(report->PrepareReport(true));
        const QString pdf = dir.filePath(name);
        WritePdf(StreamOf({&report->PreparedPages().at(0)}), pdf);
        ExpectSoundPdf(pdf);
        QProcess fonts;
        fonts.start(QStringLiteral("pdffonts"), {pdf});
        EXPECT_TRUE(fonts.waitForFinished());
        QStringList names;
        for (const QString& row :
             QString::fromUtf8(fonts.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts).mid(2))
            names << row.section(u' ', 0, 0);
        return names;
    };
    const QStringList first = fontsFor(QStringLiteral("Anna Rossi"), QStringLiteral("first.pdf"));
    const QStringList again = fontsFor(QStringLiteral("Anna Rossi"), QStringLiteral("again.pdf"));
    const QStringList other = fontsFor(QStringLiteral("Mario Verdi"), QStringLiteral("other.pdf"));
    ASSERT_EQ(first.size(), 2) << first.join(u' ').toStdString();
    ASSERT_EQ(other.size(), 2) << other.join(u' ').toStdString();
    EXPECT_EQ(first, again) << "the same subsets";
    const QRegularExpression tagged(QStringLiteral("^[A-Z]{6}\\+"));
    const auto tag = [](const QString& name) { return name.left(6); };
    for (qsizetype i = 0; i < first.size(); ++i) {
        EXPECT_TRUE(tagged.match(first[i]).hasMatch()) << first[i].toStdString();
        EXPECT_NE(tag(first[i]), tag(other[i])) << first[i].toStdString() << " and " << other[i].toStdString();
    }
    EXPECT_NE(tag(first[0]), tag(first[1])) << "two subsets of one document";
}

// However many pages a document has, they stand in a tree of nodes of at
// most 64 kids, every page at one depth, each node's parent and count right,
// the pages in order: read back by qpdf and by poppler. Each page is made
// when the writer asks for it, as the batch makes a long range.
TEST_F(PdfWriter, PagesStandInATreeOfSmallNodes) {
    auto report = NewReport();
    AddMemo(PageOf(*report), QStringLiteral("number"), {MmToUnits(10), MmToUnits(10), MmToUnits(100), MmToUnits(6)},
            QStringLiteral("Pagina"), QStringLiteral("Arial"), 10);
    ASSERT_TRUE(report->PrepareReport(true));
    PreparedPage page = report->PreparedPages().at(0);
    ASSERT_TRUE(std::holds_alternative<PreparedText>(page.items.back()));
    for (const long long count : {1LL, 64LL, 65LL, 8192LL}) {
        SCOPED_TRACE(count);
        const QString pdf = dir.filePath(QStringLiteral("pages.pdf"));
        WritePdf(PageStream{count,
                            [&](long long i) -> const PreparedPage& {
                                std::get<PreparedText>(page.items.back()).text = QStringLiteral("Pagina %1").arg(i + 1);
                                return page;
                            }},
                 pdf);
        EXPECT_EQ(PdfPageCount(pdf), count);
        const PdfPageTreeShape tree = PdfPageTree(pdf);
        EXPECT_EQ(tree.pages, count);
        EXPECT_LE(tree.widest, 64);
        EXPECT_EQ(tree.shallowest, tree.deepest) << "every page at one depth";
        QStringList numbers;
        for (long long i = 1; i <= count; ++i) numbers << QStringLiteral("Pagina %1").arg(i);
        EXPECT_EQ(PdfLines(pdf, PdfReader::Poppler), numbers);
    }
}

}  // namespace
}  // namespace report_tests
