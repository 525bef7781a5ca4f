#include "ui/Artwork.h"

#include <QPainter>
#include <QRectF>
#ifdef VELMORA_RASTER_PICTURES
#include <QHash>

#include <tuple>
#include <utility>
#else
#include <QSvgRenderer>
#endif

namespace ui {

QString Artwork::SourceFile(const QString& name) { return QStringLiteral(":/images/%1.svg").arg(name); }

#ifdef VELMORA_RASTER_PICTURES

namespace {

// The PNG of a picture at its own size (suffix "") or at twice it ("@2x").
QString Raster(const QString& name, QLatin1StringView suffix) {
    return QStringLiteral(":/images/%1%2.png").arg(name, suffix);
}

// Each picture's PNGs, decoded once and shared by every widget that shows it
// (the label sheet window alone shows one arrow 24 times).
std::pair<QImage, QImage> Decoded(const QString& name) {
    static QHash<QString, std::pair<QImage, QImage>> decoded;
    auto found = decoded.find(name);
    if (found == decoded.end())
        found = decoded.insert(name, {QImage(Raster(name, {})), QImage(Raster(name, QLatin1StringView("@2x")))});
    return *found;
}

}  // namespace

Artwork::Artwork(const QString& name) { std::tie(single_, twice_) = Decoded(name); }

QIcon Artwork::Icon(const QString& name) {
    QIcon icon(Raster(name, {}));
    icon.addFile(Raster(name, QLatin1StringView("@2x")));
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
