#include "print/templates/CalibrationSheet.h"

#include "core/sheets/LabelGrid.h"

namespace calibration_sheet {
namespace {

using namespace report;
using namespace label_grid;

constexpr double kPaperWidth = 210, kPaperHeight = 297;
constexpr double kRuleWidth = 0.15;
const QString kCaptionName = QStringLiteral("txtStampante");

// A box in millimetres from the paper's corner, in the template's units.
void Place(TrepView& view, double left, double top, double width, double height) {
    view.Left = MmToUnits(left);
    view.Top = MmToUnits(top);
    view.Width = MmToUnits(width);
    view.Height = MmToUnits(height);
}

void AddBar(TrepReportPage& page, double left, double top, double width, double height) {
    auto& bar = page.Add<TrepShapeView>();
    Place(bar, left, top, width, height);
    bar.Color = claBlack;
    bar.Frame.Color = QColor();
}

TrepMemoView& AddText(TrepReportPage& page, const QString& name, double left, double top, double width,
                      double height, double points, const QString& text) {
    auto& memo = page.Add<TrepMemoView>(name);
    Place(memo, left, top, width, height);
    memo.Font.Name = QStringLiteral("Arial");
    memo.Font.Height = PointsToHeight(points);
    memo.SetText(text);
    return memo;
}

// Ticks every millimetre, longer every five and ten, numbered every ten.
void AddRulers(TrepReportPage& page) {
    const auto length = [](int mm) { return mm % 10 == 0 ? 4.0 : mm % 5 == 0 ? 2.5 : 1.5; };
    for (int x = 1; x < int(kPaperWidth); ++x) {
        AddBar(page, x - kRuleWidth / 2, 0, kRuleWidth, length(x));
        if (x % 10 == 0) {
            AddText(page, {}, x - 4, 4.3, 8, 2.2, 5, QString::number(x)).HAlign = haCenter;
        }
    }
    for (int y = 1; y < int(kPaperHeight); ++y) {
        AddBar(page, 0, y - kRuleWidth / 2, length(y), kRuleWidth);
        if (y % 10 == 0) AddText(page, {}, 4.5, y - 1.1, 5, 2.2, 5, QString::number(y));
    }
}

// The instructions, in the bands of the first row's labels above and below
// their crosses.
void AddInstructions(TrepReportPage& page) {
    const QString texts[kColumns][2] = {
        {QStringLiteral("FOGLIO DI PROVA PER LA CALIBRAZIONE"),
         QStringLiteral("1. Stampare il foglio su carta comune e appoggiarlo, controluce, su un foglio di etichette; "
                        "oppure stamparlo direttamente su un foglio di etichette.")},
        {QStringLiteral("2. Misurare di quanti millimetri il centro dell'etichetta vera sta a destra e in basso "
                        "rispetto alla croce (a sinistra o in alto: numero negativo)."),
         QStringLiteral("3. Inserire la misura della prima etichetta come spostamento orizzontale e verticale nella "
                        "finestra di calibrazione.")},
        {QStringLiteral("4. Se la misura cresce verso l'ultima colonna o l'ultima riga, correggere la scala: 0,1 % "
                        "sposta l'ultima colonna di 0,17 mm e l'ultima riga di 0,27 mm."),
         QStringLiteral("5. Salvare e stampare un altro foglio di prova: le croci devono stare al centro delle "
                        "etichette. I righelli sono in millimetri.")},
    };
    for (int column = 1; column <= kColumns; ++column) {
        const QRectF label = LabelRectMm(Slot(1, column)).translated(kMargin, kMargin);
        const double left = label.left() + 2, width = label.width() - 4;
        const double crossTop = label.center().y() - kCrossArm - 0.5, crossBottom = label.center().y() + kCrossArm + 0.5;
        AddText(page, {}, left, label.top() + 1, width, crossTop - label.top() - 1, 6, texts[column - 1][0])
            .Font.Style = column == 1 ? fsBold : fsNone;
        AddText(page, {}, left, crossBottom, width, label.bottom() - crossBottom - 0.5, 6, texts[column - 1][1]);
    }
    // Under the title, the printer and the values the sheet was printed with.
    const QRectF first = LabelRectMm(1).translated(kMargin, kMargin);
    AddText(page, kCaptionName, first.left() + 2, first.top() + 4, first.width() - 4, 5, 6, {});
}

}  // namespace

std::unique_ptr<TrepReport> Build() {
    auto sheet = NewA4Report(QStringLiteral("repProva"), kReportName, QStringLiteral("Page1"), 0);
    sheet->PreviewOptions.Buttons = pbPrint | pbZoom | pbClose;
    auto& page = *sheet->ReportPage();
    for (int slot = 1; slot <= kSlots; ++slot) {
        const QRectF label = LabelRectMm(slot).translated(kMargin, kMargin);
        auto& outline = page.Add<TrepShapeView>(QStringLiteral("Shape") + SlotSuffix(slot));
        Place(outline, label.left(), label.top(), label.width(), label.height());
        outline.Color = QColor();
        outline.Frame.Color = claBlack;
        const QPointF centre = label.center();
        AddBar(page, centre.x() - kCrossArm, centre.y() - kCrossWidth / 2, 2 * kCrossArm, kCrossWidth);
        AddBar(page, centre.x() - kCrossWidth / 2, centre.y() - kCrossArm, kCrossWidth, 2 * kCrossArm);
    }
    AddRulers(page);
    AddInstructions(page);
    return sheet;
}

QString Caption(const QString& printer, const calibration::Calibration& c) {
    using calibration::Shown;
    return QStringLiteral("%1: spostamento %2 / %3 mm, scala %4 / %5 %")
        .arg(printer.isEmpty() ? QStringLiteral("Documento PDF") : QStringLiteral("Stampante ") + printer,
             Shown(c.offsetX), Shown(c.offsetY), Shown(c.scaleX), Shown(c.scaleY));
}

PrepareResult FillAndPrepare(TrepReport& sheet, const QString& caption) {
    FindObjectAs<TrepMemoView>(sheet, kCaptionName)->SetText(caption);
    return sheet.PrepareReport(true);
}

}  // namespace calibration_sheet
