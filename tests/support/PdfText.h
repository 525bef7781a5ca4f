#pragma once
#include <QSizeF>
#include <QString>
#include <QStringList>

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

// The lines of text of page `page` (1-based; 0: of every page) as a reader
// copies them out, empty lines left out: poppler's pdftotext (as they stand
// on the page) or mupdf's mutool. A reader infers blanks from wide gaps,
// each in its own way: each run of blanks is read as one space.
enum class PdfReader { Poppler, MuPdf };
QStringList PdfLines(const QString& pdf, PdfReader reader, int page = 0);

// The page tree as read from the file by qpdf, walked from the catalog's
// root: how many pages it holds, the most kids of any node, and the depth of
// its shallowest and deepest page. Fails the test where a node's /Count is
// not the number of pages under it or a kid's /Parent is not its node.
struct PdfPageTreeShape {
    long long pages = 0;
    int widest = 0;
    int shallowest = 0, deepest = 0;
};
PdfPageTreeShape PdfPageTree(const QString& pdf);

}  // namespace testing_support
