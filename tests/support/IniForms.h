#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <ostream>
#include <string>
#include <vector>

namespace testing_support {

// A way a Windows program may save an INI file: its encoding, with the
// byte-order mark that Notepad writes, and its line ends.
struct IniForm {
    enum class Encoding { kUtf8, kUtf8Mark, kUtf16LE, kUtf16BE };
    Encoding encoding;
    // The line ends, taken in turn line after line: one for the whole file,
    // or several for a file whose lines end in a mix of ways.
    QStringList endings;

    // The ending of line i (from 0).
    QString Ending(qsizetype line) const { return endings[line % endings.size()]; }
    // The lines, each with its ending, as one text.
    QString Text(const QStringList& lines) const;
    // A text as the file's bytes: its mark, then the text encoded.
    QByteArray Bytes(const QString& text) const;
    // "UTF-16 LE, CR", for a test's trace.
    std::string Name() const;
};

// How a test names a form it was given.
inline void PrintTo(const IniForm& form, std::ostream* out) { *out << form.Name(); }

// Every encoding with every kind of line ends: CR LF, LF, a lone CR, a mix.
const std::vector<IniForm>& IniForms();

}  // namespace testing_support
