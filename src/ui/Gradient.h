#pragma once
#include <QColor>
#include <QWidget>

class QVBoxLayout;

namespace ui {

// A rectangle shaded vertically from one colour at the top to another at the
// bottom (the windows' backgrounds, shapes and bars); the same colour twice
// gives a plain fill. An optional outline is drawn 1 pixel wide.
class Gradient : public QWidget {
public:
    Gradient(const QString& name, QColor top, QColor bottom, QWidget* parent);
    void SetOutline(QColor outline) { outline_ = outline; update(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor top_;
    QColor bottom_;
    QColor outline_;
};

// The background of the windows, bkgSfondo: shaded from steel blue at the top
// to white at the bottom, filling the window at any size, with a panel of
// fixed size centred on it that holds the window's controls (a window of fixed
// size gives the panel its own size). A window smaller than the panel scrolls,
// and is shown from its top left corner each time it is shown. Rows below the
// background, such as a status bar, go into the window's layout.
struct Backdrop {
    QVBoxLayout* layout;
    Gradient* background;
    QWidget* panel;
};
Backdrop MakeBackdrop(QWidget* window, const QString& panelName, QSize panelSize);

// Named colours of the windows.
namespace colour {
inline const QColor kSteelBlue{70, 130, 180};
inline const QColor kLightBlue{173, 216, 230};
inline const QColor kWhite{255, 255, 255};
inline const QColor kCrimson{220, 20, 60};
inline const QColor kDarkBlue{0, 0, 139};
inline const QColor kSlateBlue{106, 90, 205};
inline const QColor kLightGrey{211, 211, 211};
inline const QColor kYellow{255, 255, 0};
inline const QColor kBrown{165, 42, 42};
// A blue between steel blue and light blue.
inline const QColor kSoftBlue{144, 183, 216};
}  // namespace colour

}  // namespace ui
