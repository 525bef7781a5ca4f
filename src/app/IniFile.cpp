#include "app/IniFile.h"

#include <QFile>
#include <QSaveFile>

#include <vector>

namespace {

// One line of the file: its text and its own line ending ("\r\n", "\n" or
// nothing on a last line without one).
struct Line {
    QByteArray text;
    QByteArray ending;
};

std::vector<Line> SplitLines(const QByteArray& bytes) {
    std::vector<Line> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype feed = bytes.indexOf('\n', start);
        if (feed < 0) {
            lines.push_back({bytes.mid(start), {}});
            break;
        }
        const qsizetype end = feed > start && bytes[feed - 1] == '\r' ? feed - 1 : feed;
        lines.push_back({bytes.mid(start, end - start), bytes.mid(end, feed + 1 - end)});
        start = feed + 1;
    }
    return lines;
}

// The text without leading and trailing blanks and tabs.
QString Trimmed(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text[begin] == QLatin1Char(' ') || text[begin] == QLatin1Char('\t'))) ++begin;
    while (end > begin && (text[end - 1] == QLatin1Char(' ') || text[end - 1] == QLatin1Char('\t'))) --end;
    return text.mid(begin, end - begin);
}

QString Trimmed(const Line& line) { return Trimmed(QString::fromUtf8(line.text)); }

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// The section a line opens, or a null text when it opens none.
QString SectionOf(const Line& line) {
    const QString text = Trimmed(line);
    if (!text.startsWith(QLatin1Char('['))) return {};
    const qsizetype close = text.indexOf(QLatin1Char(']'));
    return text.mid(1, close < 0 ? -1 : close - 1).trimmed();
}

// The key a line holds (the text before its first "="), or a null text.
QString KeyOf(const Line& line) {
    const QString text = Trimmed(line);
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    if (equals < 0 || text.startsWith(QLatin1Char(';'))) return {};
    return text.left(equals).trimmed();
}

QString ValueOf(const Line& line) {
    const QString text = Trimmed(line);
    QString value = Trimmed(text.mid(text.indexOf(QLatin1Char('=')) + 1));
    if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

// Where the section's lines lie: [first, end) after its header, or first = -1
// when the file has no such section.
struct Span {
    qsizetype first = -1;
    qsizetype end = -1;
};

Span FindSection(const std::vector<Line>& lines, const QString& section) {
    Span span;
    for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
        const QString name = SectionOf(lines[i]);
        if (name.isNull()) continue;
        if (span.first >= 0) {
            span.end = i;
            return span;
        }
        if (SameName(name, section)) span.first = i + 1;
    }
    if (span.first >= 0) span.end = qsizetype(lines.size());
    return span;
}

qsizetype FindKey(const std::vector<Line>& lines, Span span, const QString& key) {
    for (qsizetype i = span.first; i >= 0 && i < span.end; ++i) {
        const QString name = KeyOf(lines[i]);
        if (!name.isNull() && SameName(name, key)) return i;
    }
    return -1;
}

// The bytes of the file, empty when it does not exist.
QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.exists()) return {};
    if (!file.open(QIODevice::ReadOnly)) throw IniError("cannot read " + path.toStdString());
    return file.readAll();
}

}  // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& fallback) const {
    const std::vector<Line> lines = SplitLines(ReadAll(path_));
    const qsizetype at = FindKey(lines, FindSection(lines, section), key);
    return at < 0 ? fallback : ValueOf(lines[at]);
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    std::vector<Line> lines = SplitLines(ReadAll(path_));
    // New lines take the ending the file already uses; a new file gets CR LF.
    QByteArray ending = "\r\n";
    for (const Line& line : lines) {
        if (!line.ending.isEmpty()) {
            ending = line.ending;
            break;
        }
    }
    const QByteArray entry = key.toUtf8() + '=' + value.toUtf8();

    const Span span = FindSection(lines, section);
    const qsizetype at = FindKey(lines, span, key);
    if (at >= 0) {
        lines[at].text = entry;
    } else {
        // After the section's last non-blank line, or a new section at the end.
        qsizetype insert = span.end;
        if (span.first >= 0) {
            while (insert > span.first && Trimmed(lines[insert - 1]).isEmpty()) --insert;
        } else {
            insert = qsizetype(lines.size());
        }
        if (insert > 0 && lines[insert - 1].ending.isEmpty()) lines[insert - 1].ending = ending;
        std::vector<Line> added;
        if (span.first < 0) added.push_back({'[' + section.toUtf8() + ']', ending});
        added.push_back({entry, ending});
        lines.insert(lines.begin() + insert, added.begin(), added.end());
    }

    QByteArray bytes;
    for (const Line& line : lines) bytes += line.text + line.ending;
    // The last buffered bytes reach the disk only at the flush: a failure
    // there must not let commit() put a cut file in place of the old one.
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) throw IniError("cannot write " + path_.toStdString());
    if (file.write(bytes) != bytes.size() || !file.flush()) file.cancelWriting();
    if (!file.commit()) throw IniError("cannot write " + path_.toStdString());
}
