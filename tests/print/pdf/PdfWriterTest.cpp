#include "support/Templates.h"

#include "print/engine/Painter.h"
#include "support/TestSupport.h"

#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace report_tests
