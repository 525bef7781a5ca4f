#include "app/ui/Gradient.h"

#include <QLinearGradient>
#include <QPainter>

namespace ui {

Gradient::Gradient(const QString& name, QColor top, QColor bottom, QWidget* parent)
    : QWidget(parent), top_(top), bottom_(bottom) {
    setObjectName(name);
}

void Gradient::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient shade(0, 0, 0, height());
    shade.setColorAt(0, top_);
    shade.setColorAt(1, bottom_);
    painter.fillRect(rect(), shade);
    if (outline_.isValid()) {
        painter.setPen(outline_);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

}  // namespace ui
