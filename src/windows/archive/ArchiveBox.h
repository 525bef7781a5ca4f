#pragma once

class QLabel;
class QLineEdit;

// A text box that feeds an archive accepts only what the archive keeps
// (Windows-1252): whatever the user types or pastes becomes at once what the
// archive will hold, a best-fit letter in place of one the code page lacks, and
// a letter with no place in it is left out with a sentence that says why, in
// `statusLine`, or without one under the box.
void KeepArchivable(QLineEdit* box, QLabel* statusLine);
