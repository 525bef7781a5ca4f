#include "ui/StatusLine.h"

#include <QLabel>
#include <QMouseEvent>
#include <QWidget>

namespace ui {

StatusLine::StatusLine(QLabel* panInfo, QObject* parent) : QObject(parent), panInfo_(panInfo) {}

void StatusLine::AddCommand(QWidget* command, const QString& sentence) {
    commands_.insert(command, sentence);
    // The same sentence for whoever does not watch the status line: a
    // tooltip, which assistive technology reads as the command's description.
    command->setToolTip(sentence);
    command->setMouseTracking(true);
    command->installEventFilter(this);
}

void StatusLine::AddBackground(QWidget* background) {
    backgrounds_.insert(background);
    background->setMouseTracking(true);
    background->installEventFilter(this);
}

bool StatusLine::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseMove) return false;
    if (auto it = commands_.constFind(watched); it != commands_.cend()) {
        panInfo_->setText(*it);
    } else if (backgrounds_.contains(watched)) {
        // A move over a control without a sentence reaches the background as
        // well; only the background itself, or a shape of it, empties the line.
        auto* widget = static_cast<QWidget*>(watched);
        const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
        const QWidget* under = widget->childAt(pos);
        if (!under || backgrounds_.contains(under)) panInfo_->clear();
    }
    return false;
}

}  // namespace ui
