#pragma once
#include "ui/Artwork.h"

#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

namespace ui {

// A picture that acts as a button: an SVG of images/, the hand cursor and a
// click signal. A click of the mouse leaves the focus where it is; the
// keyboard reaches the button through the window's commands (Accessibility.h),
// and then it shows a dotted outline and Space or Enter presses it.
class PictureButton : public QWidget {
    Q_OBJECT
public:
    // picture: the file name in images/ without ".svg".
    PictureButton(const QString& name, const QString& picture, QSize size, QWidget* parent);

    // Presses the button as a click of the mouse does.
    void click() { emit clicked(); }

    // The words written on the picture, if any.
    const QString& Words() const { return words_; }

    // Gives the button the focus from the keyboard, scrolled into view.
    void FocusByKey(Qt::FocusReason reason);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    Artwork art_;
    QString words_;
    bool pressed_ = false;
};

// A command of a window: the picture button that stands for it (created into
// `member`), its name and picture, its size, what a click does, and the
// sentence the status line shows for it (none where there is no status line).
struct Command {
    PictureButton*& member;
    const char* name;
    const char* picture;
    QSize size;
    std::function<void()> click;
    const char* sentence = nullptr;
};

// A command's click that runs a handler of its window (cmdNuovoClick, ...).
template <class W>
std::function<void()> Call(W* window, void (W::*handler)()) {
    return [window, handler] { (window->*handler)(); };
}

// Creates the command's button on `parent` at `at` and connects its click.
PictureButton* AddCommand(const Command& command, QWidget* parent, QPoint at);

// A push button of the windows: Verdana bold, the hand cursor.
QPushButton* NewButton(const QString& name, const QString& text, QRect geometry, QWidget* parent);

// The caption of a box: Verdana bold, dark blue, as wide as its text.
QLabel* NewCaption(const QString& text, QWidget* parent, QPoint at);

// A picture without behaviour (decoration, headings). Assistive technology
// reads the words written on it as a text; a picture without words is left
// out as decoration.
class Picture : public QWidget {
public:
    Picture(const QString& name, const QString& picture, QSize size, QWidget* parent);

    const QString& Words() const { return words_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Artwork art_;
    QString words_;
};

}  // namespace ui
