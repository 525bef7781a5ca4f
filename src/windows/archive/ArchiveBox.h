#pragma once

class QLabel;
class QLineEdit;
class QString;

// A text box that feeds an archive shows at once what the archive will hold
// of whatever the user types or pastes (ShortText.h: composed, then each
// letter the code page lacks as Windows' best fit or "?"), and says which
// letters it changed and to what, in `statusLine`, or without one under the
// box.
void KeepArchivable(QLineEdit* box, QLabel* statusLine);

// Tells the user which letters of what went into `box` were changed
// ("Ł → L, 中 → ?", ChangedLetters), as KeepArchivable does; nothing when
// `changes` is empty.
void TellChangedLetters(QLineEdit* box, QLabel* statusLine, const QString& changes);

// The sentence that tells the user the letters changed, or empty when none.
QString ChangedLettersSentence(const QString& changes);
