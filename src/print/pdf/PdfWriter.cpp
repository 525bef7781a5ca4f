// The PDF writer: prepared pages straight into a PDF file. Pages are turned
// into content streams on every core (PageRenderer) and written in order as
// they come (OrderedParallelMap), so a long document holds only a few pages
// in memory; the page tree's nodes as their pages are complete (PageTree);
// the fonts as subsets of the glyphs shown (DocumentFonts) and the
// cross-reference table (PdfFile) come last.
#include "print/pdf/PdfWriter.h"
#include "core/folder/TempFiles.h"
#include "print/pdf/DocumentFonts.h"
#include "print/pdf/OrderedMap.h"
#include "print/pdf/PageRenderer.h"
#include "print/pdf/PageTree.h"
#include "print/pdf/PdfFile.h"

#include <QDateTime>
#include <QThread>

#include <algorithm>
#include <memory>

namespace report {
namespace {

// A text string of the document information.
QByteArray TextString(const QString& text) {
    QByteArray hex = "<FEFF";
    for (const QChar c : text) pdf::AppendHex(hex, c.unicode(), 4);
    return hex + '>';
}

}  // namespace

void WritePdf(const PageStream& pages, const QString& path, const QString& title, const PageProgress& progress,
              const calibration::Calibration& calibration, const ReplacingFile::Guard& guard) {
    ReplacingFile file(path, guard);
    if (!file.Open())
        throw PrintError((file.Refused() ? file.Reason()
                                         : QStringLiteral("Impossibile scrivere %1: %2").arg(path, file.Reason()))
                             .toStdString());
    pdf::PdfFile pdf(file, path);
    const int catalog = pdf.Reserve(), root = pdf.Reserve(), info = pdf.Reserve();
    pdf::DocumentFonts fonts(pdf);
    pdf::PageTree tree(pdf, root, pages.count);
    // Pages are rendered on every core, at least a few pages a thread, at most
    // eight a thread ahead of the page being written.
    constexpr int kMinPagesPerThread = 4;
    const int threads = int(std::min<long long>(std::max(1, QThread::idealThreadCount()), pages.count / kMinPagesPerThread));
    const auto write = [&](long long i, pdf::RenderedPage page) {
        const int object = pdf.Reserve(), content = pdf.Reserve(), parent = tree.Add(object);
        QByteArray resources = "<< /ProcSet [/PDF /Text] /Font << ";
        for (std::size_t f = 0; f < page.faces.size(); ++f)
            resources += "/F" + QByteArray::number(qulonglong(f)) + ' ' + pdf::PdfFile::Ref(fonts.Add(page.faces[f].face, page.faces[f].glyphs)) + ' ';
        resources += ">> >>";
        QByteArray box = "[0 0 ";
        pdf::AppendNumber(box, page.width);
        box += ' ';
        pdf::AppendNumber(box, page.height);
        box += ']';
        pdf.Object(object, "<< /Type /Page /Parent " + pdf::PdfFile::Ref(parent) + " /MediaBox " + box + " /Resources " +
                               resources + " /Contents " + pdf::PdfFile::Ref(content) + " >>");
        pdf.Stream(content, {}, page.content);
        if (progress) progress(i + 1, pages.count);
    };
    pdf::OrderedParallelMap(
        pages.count, threads, 8 * threads, [&](long long i) { return pages.page(i); },
        [&calibration] { return [renderer = std::make_shared<pdf::PageRenderer>(calibration)](const PreparedPage& page) {
                 return renderer->Render(page);
             }; },
        write);
    fonts.Write();
    pdf.Object(catalog, "<< /Type /Catalog /Pages " + pdf::PdfFile::Ref(root) + " >>");
    QByteArray information = "<< /Creator " + TextString(QStringLiteral("Velmora")) + " /Producer " +
                             TextString(QStringLiteral("Velmora")) + " /CreationDate (D:" +
                             QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() +
                             "Z)";
    if (!title.isEmpty()) information += " /Title " + TextString(title);
    pdf.Object(info, information + " >>");
    pdf.Finish(catalog, info);
}

}  // namespace report
