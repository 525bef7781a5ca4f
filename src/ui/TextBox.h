#pragma once
#include <QString>

class QLineEdit;

namespace ui {

// Fills a box with a text the program brings (a record, a page, a slot):
// the box shows the text's beginning, however long the text, where a plain
// setText would leave the cursor at the end and show the end.
void ShowText(QLineEdit* box, const QString& text);

}  // namespace ui
