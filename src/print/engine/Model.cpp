#include "print/engine/Model.h"

#include "core/folder/TextRules.h"
#include "print/engine/Layout.h"
#include "print/engine/Prepared.h"

#include <QRegularExpression>

#include <cmath>
#include <utility>

namespace report {
namespace {

bool SameNameIgnoringAsciiCase(const QString& a, const QString& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (UpperAscii(a[i].unicode()) != UpperAscii(b[i].unicode())) return false;
    }
    return true;
}

}  // namespace

TrepComponent* TrepComponent::FindObject(const QString& name) {
    for (const auto& child : children_) {
        if (SameNameIgnoringAsciiCase(child->Name, name)) return child.get();
        if (TrepComponent* found = child->FindObject(name)) return found;
    }
    return nullptr;
}

void TrepMemoView::SetText(const QString& text) {
    static const QRegularExpression kLineBreak(QStringLiteral("\r\n|\n|\r"));
    memo_ = text.split(kLineBreak);
}

void TrepReportPage::SetOrientation(TPrinterOrientation orientation) {
    if (orientation == orientation_) return;
    std::swap(PaperWidth, PaperHeight);
    const double left = LeftMargin, right = RightMargin, top = TopMargin, bottom = BottomMargin;
    if (orientation == poLandscape) {
        LeftMargin = top;
        RightMargin = bottom;
        TopMargin = right;
        BottomMargin = left;
    } else {
        LeftMargin = bottom;
        RightMargin = top;
        TopMargin = left;
        BottomMargin = right;
    }
    orientation_ = orientation;
}

TrepReport::TrepReport(QString name) : TrepComponent(std::move(name)) {}
TrepReport::~TrepReport() = default;

TrepPage* TrepReport::Pages(int index) const {
    int i = 0;
    for (const auto& child : Children()) {
        if (auto* page = dynamic_cast<TrepPage*>(child.get())) {
            if (i++ == index) return page;
        }
    }
    return nullptr;
}

TrepReportPage* TrepReport::ReportPage() const { return dynamic_cast<TrepReportPage*>(Pages(1)); }

PrepareResult TrepReport::PrepareReport(bool clearLast) {
    if (clearLast) prepared_.clear();
    PrepareResult result;
    std::vector<PreparedPage> pages = PagesOf(*this, result.errors);
    if (result) {
        for (PreparedPage& page : pages) prepared_.push_back(std::move(page));
    }
    return result;
}

std::unique_ptr<TrepReport> NewA4Report(const QString& component, const QString& name, const QString& pageName,
                                        double margin) {
    auto report = std::make_unique<TrepReport>(component);
    report->ReportOptions.Name = name;
    report->PrintOptions.Printer = QStringLiteral("Default");
    report->Add<TrepDataPage>(QStringLiteral("Data"));
    auto& page = report->Add<TrepReportPage>(pageName);
    page.PaperWidth = 210;
    page.PaperHeight = 297;
    page.LeftMargin = page.RightMargin = page.TopMargin = page.BottomMargin = margin;
    return report;
}

}  // namespace report
