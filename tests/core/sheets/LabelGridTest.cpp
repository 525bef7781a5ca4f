#include "core/sheets/LabelGrid.h"

#include <gtest/gtest.h>

namespace {

using namespace label_grid;

constexpr double kTolerance = 1e-9;  // mm

struct SlotCase {
    int slot, row, column;
    double left, top;  // mm, inside the margins
};

TEST(LabelGrid, SlotsRunRowByRowFromTheTopLeft) {
    EXPECT_EQ(kSlots, 24);
    EXPECT_EQ(kLines, 6);
    const SlotCase cases[] = {
        {1, 1, 1, 0, 0},    {2, 1, 2, 64, 0},    {3, 1, 3, 128, 0},    {4, 2, 1, 0, 35},
        {5, 2, 2, 64, 35},  {13, 5, 1, 0, 140},  {22, 8, 1, 0, 245},   {24, 8, 3, 128, 245},
    };
    for (const SlotCase& c : cases) {
        SCOPED_TRACE(c.slot);
        EXPECT_EQ(Row(c.slot), c.row);
        EXPECT_EQ(Column(c.slot), c.column);
        EXPECT_EQ(Slot(c.row, c.column), c.slot);
        const QRectF label = LabelRectMm(c.slot);
        EXPECT_NEAR(label.left(), c.left, kTolerance);
        EXPECT_NEAR(label.top(), c.top, kTolerance);
        EXPECT_NEAR(label.width(), 62, kTolerance);
        EXPECT_NEAR(label.height(), 32, kTolerance);
    }
    // The grid fills the area inside the margins of an A4 page exactly.
    EXPECT_NEAR(kMargin, 10, kTolerance);
    EXPECT_NEAR(LabelRectMm(kSlots).right(), 210 - 2 * kMargin, kTolerance);
    EXPECT_NEAR(LabelRectMm(kSlots).bottom(), 297 - 2 * kMargin, kTolerance);
}

struct LineCase {
    int slot, line;
    double left, top;  // mm, inside the margins
};

TEST(LabelGrid, LinesStandInsideTheirLabelAndTheFirstRowSitsHigher) {
    const LineCase cases[] = {
        {1, 1, 2, 1.8},    {1, 6, 2, 26.8},   {3, 2, 130, 6.8},   {4, 1, 2, 37},
        {5, 3, 66, 47},    {24, 1, 130, 247}, {24, 6, 130, 272},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "slot " << c.slot << " line " << c.line);
        const QRectF box = LineRectMm(c.slot, c.line);
        EXPECT_NEAR(box.left(), c.left, kTolerance);
        EXPECT_NEAR(box.top(), c.top, kTolerance);
        EXPECT_NEAR(box.width(), 58.2, kTolerance);
        EXPECT_NEAR(box.height(), 3.5, kTolerance);
    }
    // 1.8 mm inside the label's right edge; the last line ends 1.5 mm above its bottom.
    EXPECT_NEAR(LabelRectMm(7).right() - LineRectMm(7, 1).right(), 1.8, kTolerance);
    EXPECT_NEAR(LineRectMm(24, kLines).bottom(), 275.5, kTolerance);
}

TEST(LabelGrid, NamesCarryTwoDigitsAndKeysLeadBackToTheirSlot) {
    EXPECT_EQ(TwoDigits(1), QStringLiteral("01"));
    EXPECT_EQ(TwoDigits(24), QStringLiteral("24"));
    EXPECT_EQ(SlotSuffix(7), QStringLiteral("_E07"));
    EXPECT_EQ(LineName(1, 1), QStringLiteral("txtRigo01_E01"));
    EXPECT_EQ(LineName(6, 24), QStringLiteral("txtRigo06_E24"));
    EXPECT_EQ(SlotKey(5), QStringLiteral("etichetta_E05"));
    for (int slot = 1; slot <= kSlots; ++slot) EXPECT_EQ(SlotOfKey(SlotKey(slot)), slot);
    for (const char* key : {"etichetta_E00", "etichetta_E25", "etichetta_E5", " etichetta_E05", "lblMemory", ""})
        EXPECT_EQ(SlotOfKey(QString::fromLatin1(key)), 0) << key;
}

}  // namespace
