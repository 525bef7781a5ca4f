#pragma once
#include "print/engine/Layout.h"
#include "print/engine/Model.h"
#include "print/engine/Painter.h"
#include "print/engine/Prepared.h"
#include "print/engine/PrintChoices.h"
#include "print/pdf/PdfWriter.h"
#include "print/printers/Printers.h"
#include "support/PdfText.h"

#include <memory>

class QImage;

// Small templates the report layer is tried on.
namespace report_tests {

using namespace report;
// The shared test support: PDF words, fake printers, the private scheduler.
using namespace testing_support;

// A report with its data page and an A4 portrait page with 10 mm margins.
std::unique_ptr<TrepReport> NewReport(const QString& pageName = QStringLiteral("Page1"));
TrepReportPage& PageOf(TrepReport& report);

TrepMemoView& AddMemo(TrepComponent& parent, const QString& name, QRectF box, const QString& text,
                      const QString& font = QStringLiteral("Arial"), double points = 7);

// The program's summary with a body of `lines` lines ("line 1" ..), sized as
// the summary sizes it; title and footer keep their design texts.
std::unique_ptr<TrepReport> Summary(int lines);

// The program's label sheet with its design texts.
std::unique_ptr<TrepReport> LabelSheet();

// A page of text objects in each template font at awkward places, and the
// check that a PDF of it puts every text's left at ML + L + 2 units and its
// top at MT + T + 1 unit from the paper's corner, within 0.1 mm. A printer
// puts a landscape page on portrait paper turned a quarter left: `turned`
// reads the words back in the page's own orientation.
std::unique_ptr<TrepReport> PositionsPage(TPrinterOrientation orientation);
void ExpectPositions(const std::vector<PdfWord>& words, bool turned = false);

// The text items of a prepared page, in drawing order.
std::vector<PreparedText> Texts(const PreparedPage& page);

// The ink of a page image, in millimetres: the box that holds every pixel
// darker than the paper within `areaMm`; empty when there is none.
QRectF InkMm(const QImage& image, double dpi, QRectF areaMm);
// The first page of a PDF as pdftoppm renders it at `dpi`.
QImage RenderedPdf(const QString& pdf, int dpi);

}  // namespace report_tests

