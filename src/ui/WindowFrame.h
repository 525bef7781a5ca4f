#pragma once
#include <QDialog>
#include <QString>
#include <QWidget>

namespace ui {

// The window-manager hints of a window without title-bar buttons: a title and
// a border only (no minimise, maximise or close). With a fixed size the
// window manager offers no resizing either.
inline constexpr Qt::WindowFlags kTitleOnly = Qt::CustomizeWindowHint | Qt::WindowTitleHint;

// Where a window opens: centred on the screen or on the window that owns it.
enum class Centre { Screen, Owner };

// Places the window centred on the screen, or on its owner when it has one.
void CentreWindow(QWidget& window, Centre centre, const QWidget* owner);

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

protected:
    virtual void FormShow() {}
    virtual void FormClose() {}
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    Centre centre_;
};

}  // namespace ui
