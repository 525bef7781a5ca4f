#include "ui/TextBox.h"

#include <QLineEdit>

namespace ui {

void ShowText(QLineEdit* box, const QString& text) {
    box->setText(text);
    box->setCursorPosition(0);
}

}  // namespace ui
