#include "print/templates/Busta.h"

#include "core/folder/TextRules.h"

namespace envelope {
namespace {

using namespace report;

// The address block in millimetres from the page's corner.
constexpr double kLeft = 119.0;
constexpr double kFirstTop = 57.0;
constexpr double kLinePitch = 5.0;
constexpr double kWidth = 90.0;
constexpr double kHeight = 4.4;

}  // namespace

QString LineObject(int line) { return QStringLiteral("txtRigo%1").arg(line, 2, 10, QLatin1Char('0')); }

std::unique_ptr<TrepReport> Build() {
    auto envelope = NewA4Report(QStringLiteral("repModulo"), kReportName, QStringLiteral("Page1"), 0);
    envelope->PreviewOptions.Buttons = pbPrint | pbZoom | pbFullScreen | pbClose;
    auto& page = *envelope->ReportPage();
    page.Font.Color = claBrown;
    for (int line = 1; line <= kLines; ++line) {
        auto& memo = page.Add<TrepMemoView>(LineObject(line));
        memo.Left = MmToUnits(kLeft);
        memo.Top = MmToUnits(kFirstTop + kLinePitch * (line - 1));
        memo.Width = MmToUnits(kWidth);
        memo.Height = MmToUnits(kHeight);
        memo.Font.Name = QStringLiteral("Arial");
        memo.Font.Height = PointsToHeight(10);
        memo.Font.Style = fsNone;
        memo.Font.Color = claBlack;
        memo.HAlign = haLeft;
        memo.WordWrap = false;
        memo.SetText(QStringLiteral("INDIRIZZO RIGO %1").arg(line));
    }
    return envelope;
}

PrepareResult FillAndPrepare(TrepReport& envelope, const Placement& placement, const Lines& lines) {
    auto& page = *envelope.ReportPage();
    // The margins are set after the turn, which would otherwise move them;
    // the right and bottom ones stay 0 whatever an earlier fill left there.
    page.SetOrientation(placement.landscape ? poLandscape : poPortrait);
    page.TopMargin = placement.topMm;
    page.LeftMargin = placement.leftMm;
    page.RightMargin = page.BottomMargin = 0;
    for (int line = 1; line <= kLines; ++line)
        FindObjectAs<TrepMemoView>(envelope, LineObject(line))->SetText(TrimText(lines[line - 1]));
    return envelope.PrepareReport(true);
}

}  // namespace envelope
