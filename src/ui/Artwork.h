#pragma once
#include <QIcon>
#include <QImage>
#include <QString>

#include <memory>

class QPainter;
class QRectF;
class QSvgRenderer;

namespace ui {

// One of the program's pictures (images/<name>.svg), drawn into any
// rectangle. Where Qt draws SVG, from the picture itself; where it does not
// (the Windows build), from the PNGs made from it at build time at its own
// size and at twice that size (images/<name>.png, images/<name>@2x.png),
// the sharper one chosen for the device's pixels.
class Artwork {
public:
    explicit Artwork(const QString& name);
    ~Artwork();
    Artwork(const Artwork&) = delete;
    Artwork& operator=(const Artwork&) = delete;

    void Draw(QPainter& painter, const QRectF& target) const;

    // The picture as an icon (of a window).
    static QIcon Icon(const QString& name);

    // The picture's SVG text, which holds the words written on it.
    static QString SourceFile(const QString& name);

private:
#ifdef VELMORA_RASTER_PICTURES
    QImage single_, twice_;
#else
    std::unique_ptr<QSvgRenderer> svg_;
#endif
};

}  // namespace ui
