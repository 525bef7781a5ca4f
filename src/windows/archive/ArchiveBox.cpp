#include "windows/archive/ArchiveBox.h"

#include "core/archive/ShortText.h"

#include <QLabel>
#include <QLineEdit>
#include <QToolTip>

void KeepArchivable(QLineEdit* box, QLabel* statusLine) {
    QObject::connect(box, &QLineEdit::textEdited, box, [box, statusLine](const QString& text) {
        QString refused;
        const QString kept = ArchivableText(text, &refused);
        if (kept != text) {
            const int cursor = int(ArchivableText(text.left(box->cursorPosition())).size());
            box->setText(kept);
            box->setCursorPosition(cursor);
        }
        if (refused.isEmpty()) return;
        const QString sentence =
            QStringLiteral("L'archivio non può conservare questi caratteri, che sono stati tolti: %1").arg(refused);
        if (statusLine) {
            statusLine->setText(sentence);
        } else {
            QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), sentence, box);
        }
    });
}
