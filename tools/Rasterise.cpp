// Draws the program's SVG pictures as PNGs, for a build whose Qt draws no SVG
// (Windows): each picture at its own size (NAME.png) and at twice that size
// (NAME@2x.png), with the program's fonts, as the program would draw it.
// With --icon, draws one picture as a Windows icon file instead, at the sizes
// Windows shows icons in, each as a PNG (as icons are stored since Vista).
//   velmora-rasterise PROGRAM_FOLDER OUTPUT_FOLDER PICTURE.svg...
//   velmora-rasterise --icon PROGRAM_FOLDER OUTPUT.ico PICTURE.svg
#include "print/engine/Fonts.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {

QImage Draw(QSvgRenderer& svg, QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    svg.render(&painter);
    painter.end();
    return image;
}

// An .ico file: a header, one entry per size, then each size's PNG.
QByteArray Icon(QSvgRenderer& svg) {
    const int sides[] = {16, 24, 32, 48, 64, 256};
    constexpr int kCount = sizeof sides / sizeof *sides;
    QByteArray header(6 + 16 * kCount, '\0');
    QByteArray images;
    qToLittleEndian<quint16>(1, header.data() + 2);  // an icon
    qToLittleEndian<quint16>(kCount, header.data() + 4);
    for (int i = 0; i < kCount; ++i) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        Draw(svg, QSize(sides[i], sides[i])).save(&buffer, "PNG");
        char* entry = header.data() + 6 + 16 * i;
        entry[0] = entry[1] = char(sides[i] % 256);  // 256 is written as 0
        qToLittleEndian<quint16>(1, entry + 4);      // planes
        qToLittleEndian<quint16>(32, entry + 6);     // bits per pixel
        qToLittleEndian<quint32>(png.size(), entry + 8);
        qToLittleEndian<quint32>(header.size() + images.size(), entry + 12);
        images += png;
    }
    return header + images;
}

}  // namespace

int main(int argc, char* argv[]) {
    const bool icon = argc > 1 && QByteArray(argv[1]) == "--icon";
    if (icon ? argc != 5 : argc < 4) {
        std::fprintf(stderr, "usage: %s PROGRAM_FOLDER OUTPUT_FOLDER PICTURE.svg...\n"
                             "       %s --icon PROGRAM_FOLDER OUTPUT.ico PICTURE.svg\n", argv[0], argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    // The arguments after --icon, if any: the program folder, the output, the pictures.
    char** given = argv + (icon ? 2 : 1);
    for (const QString& unread : report::UseProgramFonts(QString::fromLocal8Bit(given[0])))
        std::fprintf(stderr, "%s: font not readable: %s\n", argv[0], qPrintable(unread));
    if (icon) {
        QSvgRenderer svg(QString::fromLocal8Bit(given[2]));
        QFile file(QString::fromLocal8Bit(given[1]));
        if (!svg.isValid() || !file.open(QIODevice::WriteOnly) || file.write(Icon(svg)) < 0 || !file.flush()) {
            std::fprintf(stderr, "%s: cannot write the icon %s\n", argv[0], given[1]);
            return 1;
        }
        return 0;
    }
    const QDir output(QString::fromLocal8Bit(given[1]));
    if (!output.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "%s: cannot create %s\n", argv[0], given[1]);
        return 1;
    }
    for (char** picture = given + 2; picture < argv + argc; ++picture) {
        const QString file = QString::fromLocal8Bit(*picture);
        QSvgRenderer svg(file);
        if (!svg.isValid()) {
            std::fprintf(stderr, "%s: not a picture: %s\n", argv[0], *picture);
            return 1;
        }
        const QString name = QFileInfo(file).completeBaseName();
        for (const int scale : {1, 2}) {
            const QImage image = Draw(svg, svg.defaultSize() * scale);
            const QString png = output.filePath(name + (scale == 1 ? QString() : QStringLiteral("@2x")) + ".png");
            if (!image.save(png)) {
                std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(png));
                return 1;
            }
        }
    }
    return 0;
}
