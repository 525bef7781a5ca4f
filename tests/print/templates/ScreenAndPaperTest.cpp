// The preview's painter and the PDF writer draw every template alike: each
// page drawn by DrawPage into an image beside the same page written by our PDF
// writer and rasterised by poppler, compared in small blocks of the page.
// Twice: the page without its texts, where fills, frames and colours must
// agree almost to the bit, and the whole page, where the two rasterisers'
// antialiased glyphs may differ a little and a missing, moved, recoloured or
// unclipped text may not.
#include "print/engine/Painter.h"
#include "print/pdf/PdfWriter.h"
#include "print/templates/Busta.h"
#include "print/templates/LabelSheet.h"
#include "print/templates/Riepilogo.h"
#include "support/Templates.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QFontDatabase>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>

namespace report_tests {
namespace {

constexpr int kDpi = 100;
// Each block is 5 × 5 pixels (1.27 mm); the most its mean colour may differ
// in any channel, without texts and with them.
constexpr int kBlock = 5;
constexpr int kShapesTolerance = 4;
constexpr int kTextTolerance = 48;

struct Disagreement {
    int worst = 0;
    QPoint where;  // the block's top-left pixel
};

// The page as the preview draws it and as poppler shows our PDF of it.
struct Pictures {
    QImage screen, paper;
};

Pictures Draw(const PreparedPage& page, const QString& pdf) {
    WritePdf(StreamOf({&page}), pdf);
    return {RenderPage(page, kDpi).convertToFormat(QImage::Format_RGB32),
            RenderedPdf(pdf, kDpi).convertToFormat(QImage::Format_RGB32)};
}

PreparedPage WithoutTexts(PreparedPage page) {
    page.items.erase(std::remove_if(page.items.begin(), page.items.end(),
                                    [](const PreparedItem& item) { return std::holds_alternative<PreparedText>(item); }),
                     page.items.end());
    return page;
}

Disagreement Compare(const QImage& screen, const QImage& paper) {
    Disagreement result;
    for (int y = 0; y + kBlock <= screen.height(); y += kBlock) {
        for (int x = 0; x + kBlock <= screen.width(); x += kBlock) {
            int sum[2][3] = {};
            for (int dy = 0; dy < kBlock; ++dy) {
                for (int dx = 0; dx < kBlock; ++dx) {
                    const QRgb a = screen.pixel(x + dx, y + dy), b = paper.pixel(x + dx, y + dy);
                    sum[0][0] += qRed(a), sum[0][1] += qGreen(a), sum[0][2] += qBlue(a);
                    sum[1][0] += qRed(b), sum[1][1] += qGreen(b), sum[1][2] += qBlue(b);
                }
            }
            for (int c = 0; c < 3; ++c) {
                const int difference = std::abs(sum[0][c] - sum[1][c]) / (kBlock * kBlock);
                if (difference > result.worst) result = {difference, {x, y}};
            }
        }
    }
    return result;
}

struct Case {
    const char* what;
    std::function<std::unique_ptr<TrepReport>()> prepare;  // a report with its pages prepared
    std::vector<int> pages;                                // 0-based; -1 the last
};

label_sheet::Lines SomeLabels() {
    label_sheet::Lines lines;
    lines[0] = {"Verdi & Figli", "Via Roma 12", "00144 Roma", "", "", ""};
    lines[4] = {"Associazione Culturale Amici della Montagna e del Mare", "Casella postale 7",
                "Città di Castello", "€ 12,50", "Ω Жук", "riga sei"};
    lines[23] = {"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", "ultima etichetta", "", "", "", "fine"};
    return lines;
}

std::vector<Case> Cases() {
    const std::array<QString, label_sheet::kLines> record{"Anna Rossi", "Via Garibaldi 3", "20121 Milano",
                                                          "Italia", "", "tel. 02 1234"};
    const envelope::Lines address{"Spett.le Ditta Bianchi", "Ufficio acquisti", "Piazza Duomo 1",
                                  "20121 Milano MI", "", "Italia"};
    auto sheet = [](const QString& name, const label_sheet::Lines& lines) {
        auto report = label_sheet::Build(name);
        EXPECT_TRUE(label_sheet::FillAndPrepare(*report, lines));
        return report;
    };
    auto envelopeOn = [address](bool landscape) {
        auto report = envelope::Build();
        EXPECT_TRUE(envelope::FillAndPrepare(*report, {landscape, 10, -5}, address));
        return report;
    };
    return {
        {"label sheet", [=] { return sheet(label_sheet::kPageName, SomeLabels()); }, {0}},
        {"single-record sheet", [=] { return sheet(label_sheet::kRecordName, label_sheet::OnEveryLabel(record)); }, {0}},
        {"envelope, portrait", [=] { return envelopeOn(false); }, {0}},
        {"envelope, landscape", [=] { return envelopeOn(true); }, {0}},
        // Characters that show nothing (soft hyphens, a line separator)
        // or the missing-glyph box (controls, the bytes Windows-1252 leaves
        // undefined).
        {"envelope of characters without a glyph",
         [] {
             auto report = envelope::Build();
             const envelope::Lines odd{QStringLiteral("Via Ros\u00ADsini 10"), QStringLiteral("Bianchi\u00AD"),
                                       QStringLiteral("Conto\u0081\u008D\u008F\u0090\u009D 7"),
                                       QStringLiteral("Scala B\u2028Interno 4"), QStringLiteral("Verdi\u0001\u000B fine"),
                                       QStringLiteral("Italia")};
             EXPECT_TRUE(envelope::FillAndPrepare(*report, {false, 10, -5}, odd));
             return report;
         },
         {0}},
        {"summary, first and last page",
         [] {
             auto report = summary::Build();
             QStringList items;
             for (int i = 1; i <= 150; ++i) items << QStringLiteral("Scheda %1 - Rossi & C. - nota").arg(i);
             EXPECT_TRUE(summary::FillAndPrepare(*report, summary::kFindTitle, items,
                                                 QDateTime(QDate(2026, 3, 9), QTime(10, 30))));
             return report;
         },
         {0, -1}},
    };
}

TEST(ScreenAndPaper, EveryTemplateLooksTheSameInThePreviewAndInThePdf) {
    testing_support::EnsureApplication();
    QTemporaryDir dir;
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.what);
        auto report = c.prepare();
        const auto& pages = report->PreparedPages();
        ASSERT_FALSE(pages.empty());
        for (int index : c.pages) {
            const PreparedPage& page = pages[index < 0 ? pages.size() - 1 : index];
            SCOPED_TRACE(index);
            for (const bool texts : {false, true}) {
                SCOPED_TRACE(texts ? "the whole page" : "without texts");
                const Pictures p = Draw(texts ? page : WithoutTexts(page), dir.filePath(QStringLiteral("page.pdf")));
                ASSERT_EQ(p.screen.size(), p.paper.size());
                const Disagreement d = Compare(p.screen, p.paper);
                EXPECT_LE(d.worst, texts ? kTextTolerance : kShapesTolerance)
                    << "the block at " << d.where.x() * 25.4 / kDpi << ", " << d.where.y() * 25.4 / kDpi
                    << " mm differs by " << d.worst;
            }
        }
    }
}

// Qt makes a bold face out of a regular one only below 64 pixels, which the
// fonts of the templates, made large and scaled down, never are: where a
// family has no bold face, the preview shows bold text in the regular one,
// and the paper carries as much ink.
TEST(ScreenAndPaper, BoldInAFamilyWithoutABoldFaceInksAsInThePreview) {
    testing_support::EnsureApplication();
    const QString family = QStringLiteral("DejaVu Math TeX Gyre");
    ASSERT_TRUE(QFontDatabase::families().contains(family)) << "fonts-dejavu-extra is installed";
    for (const QString& style : QFontDatabase::styles(family))
        ASSERT_FALSE(QFontDatabase::bold(family, style)) << style.toStdString();
    auto report = NewReport();
    AddMemo(PageOf(*report), QStringLiteral("bold"), {MmToUnits(20), MmToUnits(30), MmToUnits(150), MmToUnits(8)},
            QStringLiteral("Anna Rossi, Via Garibaldi 3"), family, 14)
        .Font.Style = fsBold;
    ASSERT_TRUE(report->PrepareReport(true));
    QTemporaryDir dir;
    const Pictures p = Draw(report->PreparedPages().at(0), dir.filePath(QStringLiteral("bold.pdf")));
    ASSERT_EQ(p.screen.size(), p.paper.size());
    // The ink of the line: how much darker than the paper its pixels are.
    const auto ink = [](const QImage& image) {
        double sum = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) sum += 255 - qGray(image.pixel(x, y));
        return sum;
    };
    const double screen = ink(p.screen), paper = ink(p.paper);
    ASSERT_GT(screen, 0);
    EXPECT_NEAR(paper / screen, 1, 0.03);
}

}  // namespace
}  // namespace report_tests
