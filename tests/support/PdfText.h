#pragma once
#include <QSizeF>
#include <QString>

#include <vector>

namespace testing_support {

// A word as pdftotext -bbox finds it, in millimetres from the page's corner.
struct PdfWord {
    int page;  // 1-based
    QString text;
    double left, top, right, bottom;
    QSizeF paper;  // of its page
};
// Fails the test unless qpdf --check finds the PDF sound: poppler quietly
// repairs a broken cross-reference table or stream, qpdf reports it. Every
// reader below checks the file first.
void ExpectSoundPdf(const QString& pdf);
// The number of pages of the PDF.
int PdfPageCount(const QString& pdf);
std::vector<PdfWord> PdfWords(const QString& pdf);
// The first word equal to `text`; fails the test when there is none.
PdfWord FindWord(const std::vector<PdfWord>& words, const QString& text);

// A run of text of one font as poppler's pdftohtml reads it, with the size it
// is drawn at on the page (font size and text matrix together), in points to
// a third of a point: pdftohtml gives whole sizes at its largest zoom, 3.
struct PdfSizedText {
    int page;  // 1-based
    QString text;
    double points;
};
std::vector<PdfSizedText> PdfTextSizes(const QString& pdf);

}  // namespace testing_support
