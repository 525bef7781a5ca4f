#include "ui/FocusColour.h"

#include <QEvent>
#include <QLineEdit>

namespace ui {

FocusColour::FocusColour(QObject* parent) : QObject(parent) {}

void FocusColour::Add(QLineEdit* box, QRgb normal) {
    normal_.insert(box, normal);
    box->installEventFilter(this);
    Paint(box, box->hasFocus() ? kYellow : normal);
}

QColor FocusColour::FillOf(const QLineEdit* box) {
    return QColor::fromRgba(box->property("fill").toUInt());
}

void FocusColour::Paint(QLineEdit* box, QRgb fill) {
    box->setProperty("fill", fill);
    box->setStyleSheet(QStringLiteral("QLineEdit { background-color: %1; border: 1px solid %2; }")
                           .arg(QColor::fromRgba(fill).name(), QColor::fromRgba(kSkyBlue).name()));
}

bool FocusColour::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        auto* box = static_cast<QLineEdit*>(watched);
        Paint(box, event->type() == QEvent::FocusIn ? kYellow : normal_.value(watched));
    }
    return false;
}

}  // namespace ui
