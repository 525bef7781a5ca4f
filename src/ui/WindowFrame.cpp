#include "ui/WindowFrame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QWindow>

namespace ui {

void CentreWindow(QWidget& window, Centre centre, const QWidget* owner) {
    QRect area;
    if (centre == Centre::Owner && owner && owner->isVisible()) {
        area = owner->window()->frameGeometry();
    } else {
        const QScreen* screen = owner ? owner->screen() : window.screen();
        if (!screen) screen = QGuiApplication::primaryScreen();
        area = screen->availableGeometry();
    }
    QRect frame = window.frameGeometry();
    frame.moveCenter(area.center());
    window.move(frame.topLeft());
}

namespace {

// The room the screen leaves a window's client area: the screen's available
// area less the window's frame. Before the window manager has framed it, a
// title bar and borders as the style draws them stand in for the frame.
QSize Room(const QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    QMargins frame;
    if (const QWindow* handle = window.windowHandle()) frame = handle->frameMargins();
    if (frame.isNull()) {
        const int border = window.style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        frame = QMargins(border, window.style()->pixelMetric(QStyle::PM_TitleBarHeight) + border, border, border);
    }
    return screen->availableGeometry().size().shrunkBy(frame);
}

// Moves the window's controls into a panel of the designed size in a scroll
// area that fills the window, each where it stood, shown or hidden as it was,
// and the Tab order as it was.
QScrollArea* ScrollControls(QWidget& window, QSize designed) {
    QList<QWidget*> tabOrder;
    for (QWidget* w = window.nextInFocusChain(); w && w != &window; w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && !w->focusProxy()) tabOrder << w;

    QLayout* layout = window.layout();
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("panScorrimento"));
    panel->setFixedSize(designed);
    // A layout goes first, with the controls it places (shown as they were
    // once the event loop runs).
    if (layout) panel->setLayout(layout);
    for (QWidget* control : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control->isWindow()) continue;
        const bool hidden = control->isHidden();
        const QRect place = control->geometry();
        control->setParent(panel);
        control->setGeometry(place);
        control->setVisible(!hidden);
    }
    auto* scroll = new QScrollArea(&window);
    scroll->setObjectName(QStringLiteral("scrFinestra"));
    scroll->setFrameShape(QFrame::NoFrame);
    // Only the window's own controls take the Tab key.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidget(panel);
    scroll->show();
    for (qsizetype i = 1; i < tabOrder.size(); ++i) QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
    return scroll;
}

}  // namespace

void ScreenFit::Apply(QWidget& window) {
    if (!designed_.isValid()) designed_ = window.size();
    const QSize size = designed_.boundedTo(Room(window));
    if (size == designed_ && !scroll_) return;
    if (!scroll_) {
        scroll_ = ScrollControls(window, designed_);
        // A control that takes the focus is scrolled into sight.
        QObject::connect(qApp, &QApplication::focusChanged, scroll_, [scroll = scroll_](QWidget*, QWidget* now) {
            if (now && scroll->widget()->isAncestorOf(now)) scroll->ensureWidgetVisible(now);
        });
    }
    window.setFixedSize(size);
    scroll_->setGeometry(window.rect());
}

namespace {

class FitOnShow : public QObject {
public:
    explicit FitOnShow(QDialog& dialog) : QObject(&dialog), dialog_(dialog) { dialog.installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show && !event->spontaneous()) {
            fit_.Apply(dialog_);
            CentreWindow(dialog_, Centre::Owner, dialog_.parentWidget());
        }
        return false;
    }

private:
    QDialog& dialog_;
    ScreenFit fit_;
};

}  // namespace

void KeepOnScreen(QDialog& dialog) { new FitOnShow(dialog); }

Window::Window(const QString& caption, Frame frame, QSize size)
    : QWidget(nullptr), frame_(frame), fit_(size) {
    setWindowTitle(caption);
    if (frame == Frame::Fixed) {
        setWindowFlags(Qt::Window | kTitleOnly);
        setFixedSize(size);
    } else {
        resize(size);
    }
}

void Window::Present() {
    if (frame_ == Frame::Sizeable) {
        showMaximized();
    } else {
        CentreWindow(*this, Centre::Screen, nullptr);
        show();
    }
}

void Window::showEvent(QShowEvent* event) {
    if (!event->spontaneous() && frame_ == Frame::Fixed) {
        fit_.Apply(*this);
        CentreWindow(*this, Centre::Screen, nullptr);
    }
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void Window::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    FormClose();
}

Dialog::Dialog(QWidget* owner, const QString& caption, QSize size, Centre centre)
    : QDialog(owner, Qt::Dialog | kTitleOnly), centre_(centre), fit_(size) {
    setWindowTitle(caption);
    setFixedSize(size);
}

void Dialog::done(int result) {
    FormClose();
    QDialog::done(result);
}

void Dialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        fit_.Apply(*this);
        CentreWindow(*this, centre_, parentWidget());
    }
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void Dialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isMinimized()) return;
    // Once the window manager is done minimising: the owner's window first,
    // then the dialog above it.
    QTimer::singleShot(0, this, [this] {
        for (QWidget* window : {parentWidget() ? parentWidget()->window() : nullptr, static_cast<QWidget*>(this)}) {
            if (!window || !window->isMinimized()) continue;
            window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
            window->show();
        }
        raise();
        activateWindow();
    });
}

}  // namespace ui
