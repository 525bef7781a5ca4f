#include "print/templates/LabelSheet.h"

#include "print/engine/Prepared.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace report;

namespace {

constexpr double kTolerance = 0.001;  // mm

double Mm(double units) { return UnitsToMm(units); }

label_sheet::Lines Filled(std::initializer_list<int> filled) {
    label_sheet::Lines lines;
    for (int slot : filled)
        for (int line = 1; line <= label_grid::kLines; ++line) lines[slot - 1][line - 1] = QStringLiteral("S%1 L%2").arg(slot).arg(line);
    return lines;
}

TEST(LabelSheet, ObjectsStandInTheirOrderWithTheirGeometry) {
    const auto sheet = label_sheet::Build(label_sheet::kPageName);
    EXPECT_EQ(sheet->ReportOptions.Name, QStringLiteral("Pagina Etichette"));
    EXPECT_EQ(sheet->PreviewOptions.Buttons, pbPrint | pbZoom | pbFullScreen | pbClose);
    const TrepReportPage& page = *sheet->ReportPage();
    EXPECT_EQ(page.LeftMargin, 10);
    EXPECT_EQ(page.BottomMargin, 10);

    QStringList names;
    for (const auto& child : page.Children()) names << child->Name;
    ASSERT_EQ(names.size(), 168);
    QStringList expected = {"Shape2", "Shape1", "Shape3", "txtRigo01_E01"};
    for (int i = 4; i <= 10; ++i) expected << QStringLiteral("Shape%1").arg(i);
    for (int i = 2; i <= 6; ++i) expected << QStringLiteral("txtRigo%1_E01").arg(i, 2, 10, QLatin1Char('0'));
    for (int i = 11; i <= 24; ++i) expected << QStringLiteral("Shape%1").arg(i);
    for (int slot = 2; slot <= 24; ++slot)
        for (int line = 1; line <= 6; ++line) expected << label_grid::LineName(line, slot);
    EXPECT_EQ(names, expected);

    struct Case {
        const char* name;
        double left, top, width, height;
    };
    const Case cases[] = {
        {"Shape2", 0, 0, 62, 32},          {"Shape1", 64, 0, 62, 32},      {"Shape3", 128, 0, 62, 32},
        {"Shape4", 0, 35, 62, 32},         {"Shape17", 64, 245, 62, 32},   {"Shape24", 128, 245, 62, 32},
        {"txtRigo01_E01", 2, 1.8, 58.2, 3.5}, {"txtRigo06_E01", 2, 26.8, 58.2, 3.5},
        {"txtRigo01_E04", 2, 37, 58.2, 3.5},  {"txtRigo06_E24", 130, 272, 58.2, 3.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* view = FindObjectAs<TrepView>(*sheet, QString::fromLatin1(c.name));
        ASSERT_NE(view, nullptr);
        EXPECT_NEAR(Mm(view->Left), c.left, kTolerance);
        EXPECT_NEAR(Mm(view->Top), c.top, kTolerance);
        EXPECT_NEAR(Mm(view->Width), c.width, kTolerance);
        EXPECT_NEAR(Mm(view->Height), c.height, kTolerance);
    }
    auto* shape = FindObjectAs<TrepShapeView>(*sheet, QStringLiteral("Shape11"));
    EXPECT_EQ(shape->Color, claLightyellow);
    EXPECT_EQ(shape->Frame.Color, claLightyellow);
    for (int line = 1; line <= 6; ++line) {
        auto* memo = FindObjectAs<TrepMemoView>(*sheet, label_grid::LineName(line, 13));
        EXPECT_EQ(memo->Font.Name, QStringLiteral("Arial"));
        EXPECT_NEAR(memo->Font.Height, -9.333333, 1e-5);
        EXPECT_EQ(memo->Font.Style, line == 1 ? fsBold : fsNone);
        EXPECT_FALSE(memo->WordWrap);
        EXPECT_EQ(memo->Memo(), QStringList{QStringLiteral("INDIRIZZO RIGO %1").arg(line)});
    }
    // The grid fills the area inside the margins exactly.
    EXPECT_NEAR(Mm(shape->Width) + 128, 190, kTolerance);
}

TEST(LabelSheet, FilledSheetPreparesToOnePageWithItsLinesInPlace) {
    testing_support::EnsureApplication();
    const auto sheet = label_sheet::Build(label_sheet::kPageName);
    sheet->ReportPage()->SetOrientation(poLandscape);
    label_sheet::Lines lines = Filled({1, 7, 24});
    lines[0][1] = QStringLiteral("  [DATE] spazi  ");
    ASSERT_TRUE(label_sheet::FillAndPrepare(*sheet, lines));
    ASSERT_EQ(sheet->PreparedPages().size(), 1u);
    const PreparedPage& page = sheet->PreparedPages().front();
    EXPECT_EQ(page.orientation, poPortrait);
    EXPECT_EQ(page.paperWidth, 210);

    int rects = 0;
    std::vector<PreparedText> texts;
    for (const PreparedItem& item : page.items) {
        if (std::holds_alternative<PreparedRect>(item)) {
            ++rects;
            EXPECT_EQ(std::get<PreparedRect>(item).fill, claLightyellow);
        } else if (!std::get<PreparedText>(item).text.isEmpty()) {
            texts.push_back(std::get<PreparedText>(item));
        }
    }
    EXPECT_EQ(rects, 24);
    ASSERT_EQ(texts.size(), 18u);
    for (const PreparedText& t : texts) {
        const int slot = t.text.startsWith(QLatin1Char('S')) ? t.text.section(QLatin1Char(' '), 0, 0).mid(1).toInt() : 1;
        SCOPED_TRACE(t.text.toStdString());
        EXPECT_EQ(t.font.Style == fsBold, t.text.endsWith(QLatin1String("L1")));
        // Each line starts 2 units inside its box, which starts 2 mm inside its label.
        EXPECT_NEAR(Mm(t.x), label_grid::LabelRectMm(slot).left() + 2 + Mm(2), kTolerance);
    }
    EXPECT_EQ(texts[1].text, QStringLiteral("[DATE] spazi"));
    EXPECT_NEAR(Mm(texts[0].top), 1.8 + Mm(1), kTolerance);
    EXPECT_NEAR(Mm(texts[1].top), 6.8 + Mm(1), kTolerance);
    EXPECT_NEAR(Mm(texts.back().clip.bottom()), 275.5, kTolerance);
}

}  // namespace
