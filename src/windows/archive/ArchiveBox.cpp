#include "windows/archive/ArchiveBox.h"

#include "core/archive/ShortText.h"

#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QToolTip>

void KeepArchivable(QLineEdit* box, QLabel* statusLine) {
    QObject::connect(box, &QLineEdit::textEdited, box, [box, statusLine](const QString& text) {
        const QString kept = ArchivableText(text);
        if (kept != text) {
            const int cursor = int(ArchivableText(text.left(box->cursorPosition())).size());
            box->setText(kept);
            box->setCursorPosition(cursor);
        }
        TellChangedLetters(box, statusLine, ChangedLetters(text));
    });
}

QString ChangedLettersSentence(const QString& changes) {
    if (changes.isEmpty()) return {};
    return QStringLiteral("Lettere che l'archivio non può contenere, scritte così: %1").arg(changes);
}

void TellChangedLetters(QLineEdit* box, QLabel* statusLine, const QString& changes) {
    const QString sentence = ChangedLettersSentence(changes);
    if (sentence.isEmpty()) return;
    if (statusLine) {
        statusLine->setText(sentence);
    } else {
        QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), sentence, box);
    }
}
