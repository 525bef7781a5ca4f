#include "print/templates/Riepilogo.h"

#include "core/folder/Formats.h"

namespace summary {
namespace {

using namespace report;

constexpr double kPrintableWidth = 277.0;  // mm: A4 landscape less the 10 mm margins

struct Text {
    double left, top, width, height;  // mm, from the band's corner
    const char* font;
    double points;
};

TrepMemoView& AddText(TrepBand& band, const QString& name, const Text& t, const QString& design) {
    auto& memo = band.Add<TrepMemoView>(name);
    memo.Left = MmToUnits(t.left);
    memo.Top = MmToUnits(t.top);
    memo.Width = MmToUnits(t.width);
    memo.Height = MmToUnits(t.height);
    memo.Font.Name = QString::fromLatin1(t.font);
    memo.Font.Height = PointsToHeight(t.points);
    if (!design.isEmpty()) memo.SetText(design);
    return memo;
}

// The title and footer bars: bold white on slate grey, centred.
void MakeBar(TrepMemoView& memo) {
    memo.Font.Style = fsBold;
    memo.Font.Color = claWhite;
    memo.Color = claSlategray;
    memo.HAlign = haCenter;
}

template <class Band>
Band& AddBand(TrepReportPage& page, const QString& name, double heightMm) {
    auto& band = page.Add<Band>(name);
    band.Width = MmToUnits(kPrintableWidth);
    band.Height = MmToUnits(heightMm);
    return band;
}

}  // namespace

std::unique_ptr<TrepReport> Build() {
    auto summary = NewA4Report(QStringLiteral("repRiepilogo"), QStringLiteral("Riepilogo dati"),
                               QStringLiteral("Page"), 10);
    summary->PreviewOptions.Buttons = kAllPreviewButtons;
    auto& page = *summary->ReportPage();
    page.SetOrientation(poLandscape);

    auto& title = AddBand<TrepReportTitle>(page, QStringLiteral("ReportTitle"), 8.0);
    MakeBar(AddText(title, QStringLiteral("txtTitolo"), {2.0, 1.0, 273.0, 5.0, "Verdana", 9},
                    QStringLiteral("Riepilogo")));

    auto& master = AddBand<TrepMasterData>(page, QStringLiteral("MasterData"), 28.0);
    master.RowCount = 1;
    master.AllowSplit = true;
    auto& body = AddText(master, QStringLiteral("txtRiepilogo"), {3.0, 0.0, 273.0, 27.0, "Courier New", 8}, {});
    body.Font.Color = claBlack;
    body.HAlign = haLeft;
    body.WordWrap = false;

    auto& footer = AddBand<TrepFooter>(page, QStringLiteral("Footer"), 8.0);
    MakeBar(AddText(footer, QStringLiteral("txtPagina"), {3.0, 2.0, 272.0, 5.0, "Verdana", 8},
                    QStringLiteral("Stampa eseguita in data [DATE]")));
    return summary;
}

QString FooterText(const QDateTime& moment) {
    return QStringLiteral("Stampa eseguita in data ") + formats::ShortDate(moment.date()) +
           QStringLiteral(" alle ore ") + formats::LongTime(moment.time());
}

PrepareResult FillAndPrepare(TrepReport& summary, const QString& title, const QStringList& items, const QDateTime& moment) {
    FindObjectAs<TrepMemoView>(summary, QStringLiteral("txtTitolo"))->SetText(title);
    FindObjectAs<TrepMemoView>(summary, QStringLiteral("txtPagina"))->SetText(FooterText(moment));
    auto* body = FindObjectAs<TrepMemoView>(summary, QStringLiteral("txtRiepilogo"));
    body->Clear();
    for (const QString& item : items) body->Add(item);
    body->Height = body->Count() * kLineHeight;
    FindObjectAs<TrepMasterData>(summary, QStringLiteral("MasterData"))->Height = body->Height + kBandExtra;
    return summary.PrepareReport(true);
}

}  // namespace summary
