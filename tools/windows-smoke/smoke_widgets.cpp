// A Widgets window with an Italian label, painted, then printed to a PDF through
// Qt's printing: shows that the kit's Qt runs, finds its platform plugin and its
// fonts, and that PrintSupport works.
#include <QApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QTextStream>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);

    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *label = new QLabel(QStringLiteral("Stampa delle etichette: più di una pagina"));
    layout->addWidget(label);
    window.show();
    app.processEvents();

    QImage image(window.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    window.render(&image);
    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            inked += qGray(image.pixel(x, y)) < 128;

    const QString pdf = QApplication::applicationDirPath() + QStringLiteral("/smoke.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    QPainter painter;
    const bool painted = painter.begin(&printer);
    if (painted) {
        painter.drawText(QPointF(100, 100), label->text());
        painter.end();
    }

    out << "platform " << QGuiApplication::platformName() << '\n'
        << "font families " << QFontDatabase::families().size() << '\n'
        << "label \"" << label->text() << "\" " << label->fontMetrics().horizontalAdvance(label->text())
        << " px wide, " << inked << " dark pixels in a " << image.width() << "x" << image.height()
        << " window\n"
        << "pdf " << QFileInfo(pdf).size() << " bytes\n";
    out.flush();
    return inked > 0 && painted && QFileInfo(pdf).size() > 0 ? 0 : 1;
}
