#include "ui/EnterCycle.h"

#include <QKeyEvent>

namespace ui {

EnterCycle::EnterCycle(const std::vector<QWidget*>& chain, bool wrap, QObject* parent)
    : QObject(parent) {
    const std::size_t steps = wrap ? chain.size() : chain.size() - 1;
    for (std::size_t i = 0; i < steps; ++i) {
        next_.insert(chain[i], chain[(i + 1) % chain.size()]);
        chain[i]->installEventFilter(this);
    }
}

bool EnterCycle::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    next_.value(watched)->setFocus(Qt::OtherFocusReason);
    return true;
}

}  // namespace ui
