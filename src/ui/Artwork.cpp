#include "ui/Artwork.h"

#include <QPainter>
#include <QRectF>
#ifndef VELMORA_RASTER_PICTURES
#include <QSvgRenderer>
#endif

namespace ui {

QString Artwork::SourceFile(const QString& name) { return QStringLiteral(":/images/%1.svg").arg(name); }

#ifdef VELMORA_RASTER_PICTURES

Artwork::Artwork(const QString& name)
    : single_(QStringLiteral(":/images/%1.png").arg(name)), twice_(QStringLiteral(":/images/%1@2x.png").arg(name)) {}

QIcon Artwork::Icon(const QString& name) {
    QIcon icon(QStringLiteral(":/images/%1.png").arg(name));
    icon.addFile(QStringLiteral(":/images/%1@2x.png").arg(name));
    return icon;
}

void Artwork::Draw(QPainter& painter, const QRectF& target) const {
    const qreal pixels = target.width() * painter.device()->devicePixelRatioF();
    const QImage& image = pixels > single_.width() && !twice_.isNull() ? twice_ : single_;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image);
    painter.restore();
}

#else

Artwork::Artwork(const QString& name) : svg_(std::make_unique<QSvgRenderer>(SourceFile(name))) {}

QIcon Artwork::Icon(const QString& name) { return QIcon(SourceFile(name)); }

void Artwork::Draw(QPainter& painter, const QRectF& target) const { svg_->render(&painter, target); }

#endif

Artwork::~Artwork() = default;

}  // namespace ui
