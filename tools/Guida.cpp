// Builds the user guide Guida.pdf: the Italian text of docs/guida/Guida.md
// with the pictures of the windows listed in docs/guida/finestre.txt, taken
// from the program as it is built, laid out on A4 pages.
//
//   velmora-guida GUIDE_FOLDER OUTPUT_PDF
//   velmora-guida --readme PICTURE_FOLDER   the README's pictures (docs/readme/)
//
// The text names each picture by its window class, as ![caption](TfrmAvvio);
// the pictures it names must be those of the list, in the list's order.
#include "GuidaShots.h"
#include "ui/Application.h"

#include <QApplication>
#include <QLocale>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>

namespace {

QString ReadText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) throw std::runtime_error("cannot read " + path.toStdString());
    return QString::fromUtf8(file.readAll());
}

// A4 with margins of 20 mm; the widest picture fills the text's width,
// given in pixels of 1/96 inch as the document measures pictures.
constexpr double kMarginMm = 20;
constexpr double kTextWidthPx = (210.0 - 2 * kMarginMm) / 25.4 * 96 - 8;
// The tallest a picture is drawn, so that a window's picture and the text
// about it share a page.
constexpr double kPictureHeightPx = 95.0 / 25.4 * 96;

// Lays the document out on the writer's pages, each with its number centred
// under the text.
void Paint(QTextDocument& doc, QPdfWriter& pdf) {
    QPainter painter(&pdf);
    doc.documentLayout()->setPaintDevice(&pdf);
    const QFontMetricsF footer(doc.defaultFont(), &pdf);
    const QSizeF page(pdf.width(), pdf.height() - 2 * footer.height());
    doc.setPageSize(page);
    for (int n = 0; n < doc.pageCount(); ++n) {
        if (n > 0) pdf.newPage();
        painter.save();
        painter.translate(0, -n * page.height());
        doc.drawContents(&painter, QRectF(QPointF(0, n * page.height()), page));
        painter.restore();
        painter.setFont(doc.defaultFont());
        painter.drawText(QRectF(0, page.height(), page.width(), 2 * footer.height()), Qt::AlignCenter,
                         QString::number(n + 1));
    }
}

// Every heading of the first level starts a page; pictures are centred, no
// wider than the text and no taller than kPictureHeightPx; returns the
// pictures' names in the order shown.
QStringList Arrange(QTextDocument& doc) {
    QStringList shown;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QTextCursor cursor(block);
        QTextBlockFormat format = block.blockFormat();
        if (format.headingLevel() == 1 && block != doc.begin()) {
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            cursor.setBlockFormat(format);
        }

        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat()) continue;
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            shown << image.name();
            const QImage picture = doc.resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
            const double scale =
                std::min({1.0, kTextWidthPx / picture.width(), kPictureHeightPx / picture.height()});
            image.setWidth(picture.width() * scale);
            image.setHeight(picture.height() * scale);
            QTextCursor selection(&doc);
            selection.setPosition(fragment.position());
            selection.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            selection.setCharFormat(image);
            format = block.blockFormat();
            format.setAlignment(Qt::AlignHCenter);
            cursor.setBlockFormat(format);
        }
    }
    return shown;
}

void Build(const QString& guideFolder, const QString& output) {
    const QStringList windows = guida::ReadShotList(guideFolder + QStringLiteral("/finestre.txt"));
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("Liberation Sans"), 11));
    doc.setMarkdown(ReadText(guideFolder + QStringLiteral("/Guida.md")));
    guida::Studio studio;
    for (const QString& window : windows)
        doc.addResource(QTextDocument::ImageResource, QUrl(window), studio.Take(window));
    const QStringList shown = Arrange(doc);
    if (shown != windows)
        throw std::runtime_error("the text shows the pictures " + shown.join(QLatin1Char(' ')).toStdString() +
                                 ", the list names " + windows.join(QLatin1Char(' ')).toStdString());

    QDir().mkpath(QFileInfo(output).absolutePath());
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot write " + output.toStdString());
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(QStringLiteral("Velmora - Guida all'utilizzo del software"));
        pdf.setCreator(QStringLiteral("Velmora"));
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter));
        Paint(doc, pdf);
    }
    if (!file.commit()) throw std::runtime_error("cannot write " + output.toStdString());
}

// Writes the README's pictures into the folder.
void WriteReadmePictures(const QString& folder) {
    QDir().mkpath(folder);
    guida::Studio studio;
    for (const guida::ReadmePicture& picture : guida::ReadmePictures()) {
        const QString path = folder + QLatin1Char('/') + QLatin1String(picture.file);
        if (!studio.TakeForReadme(picture).save(path, "png", 0)) throw std::runtime_error("cannot write " + path.toStdString());
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    const bool readme = argc == 3 && std::strcmp(argv[1], "--readme") == 0;
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s GUIDE_FOLDER OUTPUT_PDF\n       %s --readme PICTURE_FOLDER\n", argv[0], argv[0]);
        return 2;
    }
    // The windows are drawn off screen, whatever display the build has.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // The windows in the language the program speaks, as the user sees them.
    ui::TranslateQt(QLocale(QLocale::Italian, QLocale::Italy));
    try {
        if (readme)
            WriteReadmePictures(QString::fromLocal8Bit(argv[2]));
        else
            Build(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 1;
    }
    return 0;
}
