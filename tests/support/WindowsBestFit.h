#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace testing_support {

// The letters whose conversion to the archive's code page the tests hold to
// Windows: Polish, Hungarian and Romanian letters, accents written apart (as
// macOS writes them: "e" and U+0301), ligatures, typographic signs, CJK and a
// character beyond the 16-bit range.
const QStringList& LetterTable();

// What Windows makes of each text in code page 1252 (composed to NFC, then
// WideCharToMultiByte(1252, 0, ...): best fit on, "?" where it has none), as
// Wine computes it with tests/support/BestFit1252.c under a prefix of its own.
// No text may hold a line feed. Empty, with `skipped` saying why, when the
// build found no mingw-w64 cross compiler or no Wine; empty after a failure
// when Wine fails.
std::vector<QByteArray> WindowsBestFit(const QStringList& texts, QString& skipped);

}  // namespace testing_support
