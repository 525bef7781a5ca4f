#include "ui/WindowFrame.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

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

Window::Window(const QString& caption, Frame frame, QSize size) : QWidget(nullptr), frame_(frame) {
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
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void Window::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    FormClose();
}

Dialog::Dialog(QWidget* owner, const QString& caption, QSize size, Centre centre)
    : QDialog(owner, Qt::Dialog | kTitleOnly), centre_(centre) {
    setWindowTitle(caption);
    setFixedSize(size);
}

void Dialog::done(int result) {
    FormClose();
    QDialog::done(result);
}

void Dialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) CentreWindow(*this, centre_, parentWidget());
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
