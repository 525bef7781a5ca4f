#pragma once
#include <QColor>
#include <QHash>
#include <QObject>

class QLineEdit;

namespace ui {

// Focus colouring of text boxes: the box with the focus is yellow, every other
// box shows its normal colour; all have a sky-blue border.
class FocusColour : public QObject {
public:
    static constexpr QRgb kYellow = 0xFFFFFF00;
    static constexpr QRgb kAliceBlue = 0xFFF0F8FF;
    static constexpr QRgb kWhite = 0xFFFFFFFF;
    static constexpr QRgb kSkyBlue = 0xFF87CEEB;

    explicit FocusColour(QObject* parent);
    void Add(QLineEdit* box, QRgb normal);

    // The fill the box shows now.
    static QColor FillOf(const QLineEdit* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void Paint(QLineEdit* box, QRgb fill);
    QHash<const QObject*, QRgb> normal_;
};

}  // namespace ui
