#include "print/templates/LabelSheet.h"

#include "core/folder/TextRules.h"

namespace label_sheet {
namespace {

using namespace report;

using namespace label_grid;

// The one conversion of the grid's millimetres into the template's units.
void Place(TrepView& view, const QRectF& mm) {
    view.Left = MmToUnits(mm.left());
    view.Top = MmToUnits(mm.top());
    view.Width = MmToUnits(mm.width());
    view.Height = MmToUnits(mm.height());
}

// The label backgrounds keep the names they were given on the form: the first
// row is Shape2, Shape1, Shape3; the other rows run Shape4 onwards down the
// first column, then down the second and the third.
QString ShapeName(int slot) {
    const int r = Row(slot), c = Column(slot);
    const int number = r == 1 ? (c == 1 ? 2 : c == 2 ? 1 : c) : kColumns + r - 1 + (kRows - 1) * (c - 1);
    return QStringLiteral("Shape%1").arg(number);
}

void AddLabel(TrepReportPage& page, int slot) {
    auto& shape = page.Add<TrepShapeView>(ShapeName(slot));
    Place(shape, LabelRectMm(slot));
    shape.Color = claLightyellow;
    shape.Frame.Color = claLightyellow;
}

void AddLine(TrepReportPage& page, int slot, int line) {
    auto& memo = page.Add<TrepMemoView>(LineName(line, slot));
    Place(memo, LineRectMm(slot, line));
    memo.Font.Name = QStringLiteral("Arial");
    memo.Font.Height = PointsToHeight(7);
    memo.Font.Style = line == 1 ? fsBold : fsNone;
    memo.Font.Color = claBlack;
    memo.WordWrap = false;
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

std::unique_ptr<TrepReport> Build(const QString& reportName) {
    auto sheet = NewA4Report(QStringLiteral("repDocumento"), reportName, QStringLiteral("Page1"), kMargin);
    sheet->PreviewOptions.Buttons = pbPrint | pbZoom | pbFullScreen | pbClose;
    sheet->PreviewOptions.Zoom = 1.0;
    auto& page = *sheet->ReportPage();

    // Drawing order: every background before the text lying on it.
    for (int column = 1; column <= kColumns; ++column) AddLabel(page, Slot(1, column));
    AddLine(page, 1, 1);
    for (int row = 2; row <= kRows; ++row) AddLabel(page, Slot(row, 1));
    for (int line = 2; line <= kLines; ++line) AddLine(page, 1, line);
    for (int column = 2; column <= kColumns; ++column)
        for (int row = 2; row <= kRows; ++row) AddLabel(page, Slot(row, column));
    for (int slot = 2; slot <= kSlots; ++slot)
        for (int line = 1; line <= kLines; ++line) AddLine(page, slot, line);
    return sheet;
}

Filler::Filler(TrepReport& sheet) : sheet_(sheet) {
    for (int slot = 1; slot <= kSlots; ++slot)
        for (int line = 1; line <= kLines; ++line)
            memos_[slot - 1][line - 1] = FindObjectAs<TrepMemoView>(sheet, LineName(line, slot));
}

PrepareResult Filler::FillAndPrepare(const Lines& lines) {
    sheet_.ReportPage()->SetOrientation(poPortrait);
    for (int slot = 1; slot <= kSlots; ++slot)
        for (int line = 1; line <= kLines; ++line)
            memos_[slot - 1][line - 1]->SetText(TrimText(lines[slot - 1][line - 1]));
    return sheet_.PrepareReport(true);
}

PrepareResult FillAndPrepare(TrepReport& sheet, const Lines& lines) { return Filler(sheet).FillAndPrepare(lines); }

}  // namespace label_sheet
