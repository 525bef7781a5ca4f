// Draws the program's SVG pictures as PNGs, for a build whose Qt draws no SVG
// (Windows): each picture at its own size (NAME.png) and at twice that size
// (NAME@2x.png), with the program's fonts, as the program would draw it.
//   velmora-rasterise PROGRAM_FOLDER OUTPUT_FOLDER PICTURE.svg...
#include "print/engine/Fonts.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s PROGRAM_FOLDER OUTPUT_FOLDER PICTURE.svg...\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    for (const QString& unread : report::UseProgramFonts(QString::fromLocal8Bit(argv[1])))
        std::fprintf(stderr, "%s: font not readable: %s\n", argv[0], qPrintable(unread));
    const QDir output(QString::fromLocal8Bit(argv[2]));
    if (!output.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "%s: cannot create %s\n", argv[0], argv[2]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const QString file = QString::fromLocal8Bit(argv[i]);
        QSvgRenderer svg(file);
        if (!svg.isValid()) {
            std::fprintf(stderr, "%s: not a picture: %s\n", argv[0], argv[i]);
            return 1;
        }
        const QString name = QFileInfo(file).completeBaseName();
        for (const int scale : {1, 2}) {
            QImage image(svg.defaultSize() * scale, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            svg.render(&painter);
            painter.end();
            const QString png = output.filePath(name + (scale == 1 ? QString() : QStringLiteral("@2x")) + ".png");
            if (!image.save(png)) {
                std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(png));
                return 1;
            }
        }
    }
    return 0;
}
