#include "ui/Gradient.h"

#include <QGridLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace ui {
namespace {

// Brings a scroll area back to its top left corner each time its window is
// shown, so that a window left scrolled sideways opens from its left edge and
// a click remembered from before lands where it did then.
class ScrollHome : public QObject {
public:
    ScrollHome(QWidget* window, QScrollArea* scroll) : QObject(scroll), scroll_(scroll) {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            scroll_->horizontalScrollBar()->setValue(0);
            scroll_->verticalScrollBar()->setValue(0);
        }
        return false;
    }

private:
    QScrollArea* scroll_;
};

}  // namespace

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

Backdrop MakeBackdrop(QWidget* window, const QString& panelName, QSize panelSize) {
    Backdrop backdrop{};
    backdrop.background = new Gradient(QStringLiteral("bkgSfondo"), colour::kSteelBlue, colour::kWhite, window);
    backdrop.layout = new QVBoxLayout(window);
    backdrop.layout->setContentsMargins(0, 0, 0, 0);
    backdrop.layout->setSpacing(0);
    // When the window is smaller than the panel, scroll bars keep every
    // control within reach; on a larger window the background fills it.
    auto* scroll = new QScrollArea(window);
    scroll->setObjectName(QStringLiteral("scrSfondo"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    // The scroll area is no stop of the Tab cycle: only the window's own
    // controls are.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidget(backdrop.background);
    new ScrollHome(window, scroll);
    backdrop.layout->addWidget(scroll, 1);

    backdrop.panel = new QWidget(backdrop.background);
    backdrop.panel->setObjectName(panelName);
    backdrop.panel->setFixedSize(panelSize);
    auto* centre = new QGridLayout(backdrop.background);
    centre->setContentsMargins(0, 0, 0, 0);
    centre->addWidget(backdrop.panel, 0, 0, Qt::AlignCenter);
    return backdrop;
}

}  // namespace ui
