#include "Templates.h"

#include "report/Painter.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
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
    auto report = NewReport();
    TrepReportPage& page = PageOf(*report);
    int n = 0;
    for (const char* font : {"Arial", "Courier New", "Verdana"}) {
        for (const int style : {fsNone, fsBold}) {
            for (const QString& line : lines) {
                auto& memo = AddMemo(page, QStringLiteral("m%1").arg(n), {MmToUnits(5.3), MmToUnits(4.1 + 6.3 * n),
                                                                           MmToUnits(150), MmToUnits(6)},
                                     line, QString::fromLatin1(font), 8 + n % 3);
                memo.Font.Style = style;
                ++n;
            }
        }
    }
    AddMemo(page, QStringLiteral("cut"), {MmToUnits(5), MmToUnits(272), MmToUnits(20), MmToUnits(5)},
            QStringLiteral("Via Giuseppe Garibaldi"), QStringLiteral("Arial"), 9);
    ASSERT_TRUE(report->PrepareReport(true));
    const PreparedPage& prepared = report->PreparedPages().at(0);
    ASSERT_EQ(report->PreparedPages().size(), 1u);

    const QString ours = dir.filePath(QStringLiteral("ours.pdf"));
    WritePdf({&prepared}, ours);
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
    // nothing to its right.
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("150"), QStringLiteral("-png"), QStringLiteral("-singlefile"), ours,
                  dir.filePath(QStringLiteral("ours"))});
    ASSERT_TRUE(render.waitForFinished());
    const QImage image(dir.filePath(QStringLiteral("ours.png")));
    ASSERT_FALSE(image.isNull());
    const auto inked = [&](double fromMm, double toMm) {
        const double px = 150 / 25.4;
        for (int y = int(282 * px); y < int(287 * px); ++y)
            for (int x = int(fromMm * px); x < int(toMm * px); ++x)
                if (qGray(image.pixel(x, y)) < 160) return true;
        return false;
    };
    EXPECT_TRUE(inked(15, 35));
    EXPECT_FALSE(inked(35.3, 150)) << "the cut line shows only what fits its box";

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

}  // namespace
}  // namespace report_tests
