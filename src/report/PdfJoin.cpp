#include "report/PdfJoin.h"

#include "report/Printers.h"

#include <QFile>

#define POINTERHOLDER_TRANSITION 4  // qpdf: std::shared_ptr only
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <memory>
#include <vector>

namespace report {

void JoinPdf(const QStringList& parts, const QString& path) {
    try {
        // Every part stays open until the joined file is written: its pages'
        // objects are copied from it then.
        std::vector<std::unique_ptr<QPDF>> documents;
        for (const QString& part : parts) {
            documents.push_back(std::make_unique<QPDF>());
            documents.back()->processFile(QFile::encodeName(part).constData());
        }
        QPDFPageDocumentHelper joined(*documents.front());
        for (std::size_t i = 1; i < documents.size(); ++i)
            for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(*documents[i]).getAllPages())
                joined.addPage(page, false);
        QPDFWriter writer(*documents.front(), QFile::encodeName(path).constData());
        writer.setStreamDataMode(qpdf_s_preserve);
        writer.write();
    } catch (const std::exception& error) {
        throw PrintError(error.what());
    }
}

}  // namespace report
