#pragma once
#include <QString>

#include <stdexcept>

// The failure of a read or write of an INI file; the caller decides what the
// user is told.
class IniError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An INI file read and written key by key, as the Windows private-profile
// functions do: sections and keys are found without regard to letter case, a
// value is read trimmed of blanks (and of one pair of enclosing quotes), and a
// write changes the one line of its key or adds one, leaving every other line
// of the file byte for byte as it was. Writes go through a temporary file that
// replaces the old one, so a crash never leaves half a file.
//
// As Windows reads them, files may be UTF-16 (little- or big-endian) or UTF-8
// with a byte-order mark, as Notepad saves them, and their lines may end with
// CR LF, LF or a lone CR, in any mix; a file without a mark is UTF-8. A write
// keeps the file's encoding, its mark and its line ends: new lines take the
// ending of the line before them (that of the file's first line after a last
// line without one, CR LF in a new file).
class IniFile {
public:
    explicit IniFile(QString path);

    // The value of the key, or fallback when the file, the section or the key
    // is missing. Throws IniError when the file exists but cannot be read.
    QString ReadString(const QString& section, const QString& key, const QString& fallback = {}) const;

    // Stores the value under the key, creating the file, the section or the
    // key as needed. Throws IniError when the file cannot be read or written.
    void WriteString(const QString& section, const QString& key, const QString& value);

private:
    QString path_;
};
