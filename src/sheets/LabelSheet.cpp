#include "sheets/LabelSheet.h"

#include "app/TextRules.h"

namespace label_sheet {
namespace {

using namespace report;

// Label geometry in millimetres, inside the 10 mm margins.
constexpr double kColumnPitch = 64.0;
constexpr double kRowPitch = 35.0;
constexpr double kLabelWidth = 62.0;
constexpr double kLabelHeight = 32.0;
constexpr double kTextInset = 2.0;
constexpr double kTextWidth = 58.2;
constexpr double kTextHeight = 3.5;
constexpr double kLinePitch = 5.0;

int Row(int slot) { return (slot - 1) / 3 + 1; }
int Column(int slot) { return (slot - 1) % 3 + 1; }

// The label backgrounds keep the names they were given on the form: row 1 is
// Shape2, Shape1, Shape3; rows 2 to 8 run Shape4..10, Shape11..17, Shape18..24
// down the three columns.
QString ShapeName(int slot) {
    const int r = Row(slot), c = Column(slot);
    const int number = r == 1 ? (c == 1 ? 2 : c == 2 ? 1 : 3) : 2 + r + 7 * (c - 1);
    return QStringLiteral("Shape%1").arg(number);
}

void AddLabel(TrepReportPage& page, int slot) {
    auto& shape = page.Add<TrepShapeView>(ShapeName(slot));
    shape.Left = MmToUnits(kColumnPitch * (Column(slot) - 1));
    shape.Top = MmToUnits(kRowPitch * (Row(slot) - 1));
    shape.Width = MmToUnits(kLabelWidth);
    shape.Height = MmToUnits(kLabelHeight);
    shape.Color = claLightyellow;
    shape.Frame.Color = claLightyellow;
}

void AddLine(TrepReportPage& page, int slot, int line) {
    auto& memo = page.Add<TrepMemoView>(LineObject(line, slot));
    // Row 1 sits 0.2 mm higher than the others.
    const double firstLine = Row(slot) == 1 ? 1.8 : 2.0;
    memo.Left = MmToUnits(kColumnPitch * (Column(slot) - 1) + kTextInset);
    memo.Top = MmToUnits(kRowPitch * (Row(slot) - 1) + firstLine + kLinePitch * (line - 1));
    memo.Width = MmToUnits(kTextWidth);
    memo.Height = MmToUnits(kTextHeight);
    memo.Font.Name = QStringLiteral("Arial");
    memo.Font.Height = PointsToHeight(7);
    memo.Font.Style = line == 1 ? fsBold : fsNone;
    memo.Font.Color = claBlack;
    memo.WordWrap = false;
    memo.AllowExpressions = false;
    memo.SetText(QStringLiteral("INDIRIZZO RIGO %1").arg(line));
}

}  // namespace

Lines PageLines(const SheetRecord& page) {
    Lines lines;
    for (int slot = 1; slot <= kSlots; ++slot)
        for (int line = 1; line <= kLines; ++line)
            lines[slot - 1][line - 1] = DecodeShortText(page.field[SheetRecord::LineField(line, slot)]);
    return lines;
}

Lines OnEveryLabel(const std::array<QString, kLines>& label) {
    Lines lines;
    lines.fill(label);
    return lines;
}

QString LineObject(int line, int slot) {
    return QStringLiteral("txtRigo%1_E%2").arg(line, 2, 10, QLatin1Char('0')).arg(slot, 2, 10, QLatin1Char('0'));
}

std::unique_ptr<TrepReport> Build(const QString& reportName) {
    auto sheet = NewA4Report(QStringLiteral("repDocumento"), reportName, QStringLiteral("Page1"), 10);
    sheet->PreviewOptions.Buttons = pbPrint | pbZoom | pbFullScreen | pbClose;
    sheet->PreviewOptions.Zoom = 1.0;
    sheet->PreviewOptions.AllowEdit = false;
    auto& page = *sheet->ReportPage();

    // Drawing order: every background before the text lying on it.
    for (int slot : {1, 2, 3}) AddLabel(page, slot);
    AddLine(page, 1, 1);
    for (int slot = 4; slot <= kSlots; slot += 3) AddLabel(page, slot);
    for (int line = 2; line <= kLines; ++line) AddLine(page, 1, line);
    for (int column = 2; column <= 3; ++column)
        for (int slot = 3 + column; slot <= kSlots; slot += 3) AddLabel(page, slot);
    for (int slot = 2; slot <= kSlots; ++slot)
        for (int line = 1; line <= kLines; ++line) AddLine(page, slot, line);
    return sheet;
}

PrepareResult FillAndPrepare(TrepReport& sheet, const Lines& lines) {
    sheet.ReportPage()->SetOrientation(poPortrait);
    for (int slot = 1; slot <= kSlots; ++slot)
        for (int line = 1; line <= kLines; ++line)
            FindObjectAs<TrepMemoView>(sheet, LineObject(line, slot))->SetText(TrimText(lines[slot - 1][line - 1]));
    return sheet.PrepareReport(true);
}

}  // namespace label_sheet
