#pragma once
#include <QDialog>
#include <QString>
#include <QWidget>

class QScrollArea;

namespace ui {

// The window-manager hints of a window without title-bar buttons: a title and
// a border only (no minimise, maximise or close). With a fixed size the
// window manager offers no resizing either.
inline constexpr Qt::WindowFlags kTitleOnly = Qt::CustomizeWindowHint | Qt::WindowTitleHint;

// Where a window opens: centred on the screen or on the window that owns it.
enum class Centre { Screen, Owner };

// Places the window centred on the screen, or on its owner when it has one.
void CentreWindow(QWidget& window, Centre centre, const QWidget* owner);

// Keeps a window of fixed size within its screen's available area. Once the
// window, frame included, would not fit as designed (a small screen, a large
// scale factor), its controls move, where they stand, into a panel of the
// designed size inside a scroll area that fills the window, as the work
// windows scroll through their work area, and the window takes the room the
// screen has; the order of the Tab key stays as it was. A window that fits
// stays as it is.
class ScreenFit {
public:
    // A window of the size given, or, with none, of the size it has when it
    // is first shown (a window whose layout fixes its size).
    explicit ScreenFit(QSize designed = {}) : designed_(designed) {}
    // Sizes the window for its screen; call as it is shown.
    void Apply(QWidget& window);
    QSize Designed() const { return designed_; }
    // The scroll area, once the window has needed one.
    QScrollArea* Scroll() const { return scroll_; }

private:
    QSize designed_;
    QScrollArea* scroll_ = nullptr;
};

// The same for a dialog laid out by its own layout at a fixed size (the report
// layer's dialogs): it is fitted, then centred on its owner, each time it is
// shown.
void KeepOnScreen(QDialog& dialog);

// A long-lived window. Fixed: a fixed single border, no title-bar buttons,
// centred on the screen. Sizeable: the normal frame and title-bar buttons,
// opened maximised. FormShow runs each time the window is shown, FormClose
// each time it is closed, whatever closed it.
class Window : public QWidget {
public:
    enum class Frame { Fixed, Sizeable };
    Window(const QString& caption, Frame frame, QSize size);

    // Shows the window as its kind opens: maximised or centred.
    void Present();

protected:
    virtual void FormShow() {}
    virtual void FormClose() {}
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    Frame frame_;
    ScreenFit fit_;
};

// A dialog: created by its opener, run modally through RunModal, destroyed
// after. A fixed single border, no title-bar buttons, centred on the screen or
// on its owner; Esc leaves it as its leaving button (Annulla, Chiudi, Esci) does.
// It is never left minimised: a window manager that minimises it anyway (and
// its owner with it) sees both shown again at once, since a minimised modal
// dialog on a desktop without a task bar would leave no way back.
class Dialog : public QDialog {
public:
    Dialog(QWidget* owner, const QString& caption, QSize size, Centre centre);

    void done(int result) override;
    // The size it was designed with and, once its screen has been too small
    // for it, the scroll area that holds its controls.
    const ScreenFit& Fit() const { return fit_; }

protected:
    virtual void FormShow() {}
    virtual void FormClose() {}
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    Centre centre_;
    ScreenFit fit_;
};

}  // namespace ui
