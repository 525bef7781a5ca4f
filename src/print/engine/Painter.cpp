#include "print/engine/Painter.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>

#include <cmath>

namespace report {

void DrawPage(QPainter& painter, const PreparedPage& page, double scale) {
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    painter.translate(page.LeftMarginUnits(), page.TopMarginUnits());
    const QTransform units = painter.transform();
    const TrepFont* current = nullptr;  // the font set on the painter
    double fontScale = 1;               // and the scale that sizes it
    for (const PreparedItem& item : page.items) {
        if (const auto* rect = std::get_if<PreparedRect>(&item)) {
            if (rect->fill.isValid()) painter.fillRect(rect->rect, rect->fill);
            if (rect->frame.isValid()) {
                // A 1-unit line centred on the box's edge.
                painter.setPen(QPen(rect->frame, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(rect->rect);
                current = nullptr;  // the pen changed
            }
            continue;
        }
        const auto& text = std::get<PreparedText>(item);
        if (text.text.isEmpty()) continue;
        const bool clipped = text.NeedsClip();
        if (clipped) painter.setClipRect(text.clip);
        if (!current || current->Name != text.font.Name || current->Height != text.font.Height ||
            current->Style != text.font.Style) {
            const UnitFont font = MakeFont(text.font);
            painter.setFont(font.font);
            fontScale = font.scale;
        }
        if (!current || current->Color != text.font.Color) painter.setPen(text.font.Color);
        current = &text.font;
        // The line in its font's pixels, scaled to the font's height.
        painter.setTransform(QTransform::fromScale(fontScale, fontScale) *
                             QTransform::fromTranslate(text.x, text.baseline) * units);
        painter.drawText(QPointF(0, 0), text.text);
        painter.setTransform(units);
        if (clipped) painter.setClipping(false);
    }
    painter.restore();
}

QImage RenderPage(const PreparedPage& page, double dpi) {
    const double scale = dpi / kUnitsPerInch;
    QImage image(int(std::ceil(page.PaperWidthUnits() * scale)), int(std::ceil(page.PaperHeightUnits() * scale)),
                 QImage::Format_RGB32);
    const int dotsPerMeter = int(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    DrawPage(painter, page, scale);
    return image;
}

}  // namespace report
