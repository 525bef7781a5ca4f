#include "core/folder/IniFile.h"

#include "core/folder/FileAccess.h"
#include "core/folder/TempFiles.h"
#include "core/platform/Files.h"

#include <QFile>

#include <algorithm>
#include <cerrno>

namespace {

// The file's text: UTF-16, little- or big-endian, after its byte-order mark
// and UTF-8 after its mark, as Windows' profile functions read them; UTF-8
// too without a mark, where Windows would take the code page (the program's
// own values are ASCII, the same in both). It is seen as a row of code units after the mark (bytes, or the 16-bit
// units of UTF-16), which are never all converted: a change puts new text
// between the bytes of the units around it, so every byte it does not change
// stays as it was, and the file keeps its encoding and its mark.
class Units {
public:
    explicit Units(const QByteArray& bytes) : bytes_(bytes) {
        if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
            mark_ = width_ = 2;
            bigEndian_ = bytes[0] == '\xFE';
        } else if (bytes.startsWith("\xEF\xBB\xBF")) {
            mark_ = 3;
        }
        size_ = (bytes.size() - mark_) / width_;  // an odd byte at the end of UTF-16 is no unit
    }

    qsizetype size() const { return size_; }
    char16_t at(qsizetype i) const {
        const auto* unit = reinterpret_cast<const unsigned char*>(bytes_.constData() + Offset(i));
        if (width_ == 1) return unit[0];
        return char16_t(bigEndian_ ? unit[0] << 8 | unit[1] : unit[1] << 8 | unit[0]);
    }
    // Where unit i begins among the bytes.
    qsizetype Offset(qsizetype i) const { return mark_ + i * width_; }

    QString Text(qsizetype begin, qsizetype end) const {
        if (width_ == 1) return QString::fromUtf8(bytes_.constData() + mark_ + begin, end - begin);
        QString text(end - begin, Qt::Uninitialized);
        for (qsizetype i = begin; i < end; ++i) text[i - begin] = QChar(at(i));
        return text;
    }
    QByteArray Encode(const QString& text) const {
        if (width_ == 1) return text.toUtf8();
        QByteArray bytes;
        bytes.reserve(2 * text.size());
        for (const QChar c : text) {
            const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
            bigEndian_ ? bytes.append(high).append(low) : bytes.append(low).append(high);
        }
        return bytes;
    }

private:
    const QByteArray& bytes_;
    qsizetype mark_ = 0;
    qsizetype width_ = 1;
    bool bigEndian_ = false;
    qsizetype size_ = 0;
};

// One line of the file as unit positions: the text is [begin, end), its own
// line ending ("\r\n", "\n", a lone "\r" as in old Macintosh files, or
// nothing on a last line without one) [end, next). Lines are found one after
// the other, never all kept, so the work takes memory in proportion to the
// file.
struct Line {
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype next = 0;
};

bool IsLineEnd(char16_t unit) { return unit == u'\n' || unit == u'\r'; }

Line LineAt(const Units& units, qsizetype begin) {
    qsizetype end = begin;
    while (end < units.size() && !IsLineEnd(units.at(end))) ++end;
    if (end == units.size()) return {begin, end, end};
    const bool crlf = units.at(end) == u'\r' && end + 1 < units.size() && units.at(end + 1) == u'\n';
    return {begin, end, end + (crlf ? 2 : 1)};
}

// The text without leading and trailing blanks and tabs.
QString Trimmed(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text[begin] == QLatin1Char(' ') || text[begin] == QLatin1Char('\t'))) ++begin;
    while (end > begin && (text[end - 1] == QLatin1Char(' ') || text[end - 1] == QLatin1Char('\t'))) --end;
    return text.mid(begin, end - begin);
}

QString Trimmed(const Units& units, const Line& line) { return Trimmed(units.Text(line.begin, line.end)); }

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// The section a line opens, or a null text when it opens none.
QString SectionOf(const QString& text) {
    if (!text.startsWith(QLatin1Char('['))) return {};
    const qsizetype close = text.indexOf(QLatin1Char(']'));
    return text.mid(1, close < 0 ? -1 : close - 1).trimmed();
}

// The key a line holds (the text before its first "="), or a null text.
QString KeyOf(const QString& text) {
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    if (equals < 0 || text.startsWith(QLatin1Char(';'))) return {};
    return text.left(equals).trimmed();
}

QString ValueOf(const QString& text) {
    QString value = Trimmed(text.mid(text.indexOf(QLatin1Char('=')) + 1));
    if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

// What a search of the file for a key found: the key's line, or where a new
// line for it goes (after the section's last non-blank line, or at the end
// when the file has no such section).
struct Place {
    bool sectionFound = false;
    bool keyFound = false;
    Line key;              // the key's line, when found
    qsizetype insert = 0;  // where a new line goes, when not
    QString value;         // the key's value, when found
};

Place Find(const Units& units, const QString& section, const QString& key) {
    Place place;
    place.insert = units.size();
    bool inside = false;
    for (qsizetype at = 0; at < units.size();) {
        const Line line = LineAt(units, at);
        at = line.next;
        const QString text = Trimmed(units, line);
        const QString name = SectionOf(text);
        if (!name.isNull()) {
            if (inside) break;
            inside = SameName(name, section);
            if (inside) {
                place.sectionFound = true;
                place.insert = line.next;
            }
            continue;
        }
        if (!inside) continue;
        const QString found = KeyOf(text);
        if (!found.isNull() && SameName(found, key)) {
            place.keyFound = true;
            place.key = line;
            place.value = ValueOf(text);
            return place;
        }
        if (!text.isEmpty()) place.insert = line.next;
    }
    return place;
}

// The ending the file's lines use: that of its first line that has one, CR LF
// for a file without any.
QString EndingOf(const Units& units) {
    const Line first = LineAt(units, 0);
    return first.end < first.next ? units.Text(first.end, first.next) : QStringLiteral("\r\n");
}

// The ending of the line that ends where unit `at` begins; empty when no line
// ending stands right before it.
QString EndingBefore(const Units& units, qsizetype at) {
    if (at == 0 || !IsLineEnd(units.at(at - 1))) return {};
    const bool crlf = units.at(at - 1) == u'\n' && at >= 2 && units.at(at - 2) == u'\r';
    return units.Text(at - (crlf ? 2 : 1), at);
}

[[noreturn]] void Fail(const char* what, const QString& path, const QString& reason) {
    throw IniError(QStringLiteral("impossibile %1 %2: %3").arg(QLatin1String(what), path, reason).toStdString());
}

// The bytes of the file, empty when there is nothing of that name. A file
// replaced by another copy of the program meanwhile is read whole, the old or
// the new: the replacement is one rename.
QByteArray ReadAll(const QString& path) {
    QString refusal;
    platform::File file = platform::File::OpenRegular(path, platform::File::Access::Read, refusal);
    if (!refusal.isEmpty()) throw IniError(refusal.toStdString());
    if (!file.IsOpen()) {
        if (errno == ENOENT) return {};
        Fail("leggere", path, SystemReason(errno));
    }
    // Sized once from the file's length; a file that grows meanwhile is read on.
    QByteArray bytes;
    bytes.reserve(file.Size().value_or(0) + 1);
    for (;;) {
        if (bytes.size() == bytes.capacity()) bytes.reserve(bytes.capacity() * 2 + 4096);
        const qsizetype size = bytes.size();
        bytes.resize(bytes.capacity());
        const qint64 n = file.Read(bytes.data() + size, bytes.size() - size);
        if (n < 0) Fail("leggere", path, SystemReason(errno));
        bytes.resize(size + n);
        if (size + n < bytes.capacity()) break;
    }
    return bytes;
}

// Puts bytes in place of the file at path in one rename, through a new file
// beside it that takes the old file's permissions; the old file stays as it
// was when anything fails. A link is followed: its target is replaced.
void ReplaceAll(const QString& path, const QByteArray& bytes) {
    ReplacingFile file(path);
    if (!file.Open()) Fail("scrivere", path, file.Reason());
    errno = 0;
    if (file.Device().write(bytes) != bytes.size()) Fail("scrivere", path, SystemReason(errno ? errno : EIO));
    if (!file.Commit()) Fail("scrivere", path, file.Reason());
}

}  // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& fallback) const {
    const QByteArray bytes = ReadAll(path_);
    const Place place = Find(Units(bytes), section, key);
    return place.keyFound ? place.value : fallback;
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    const QByteArray bytes = ReadAll(path_);
    const Units units(bytes);
    const Place place = Find(units, section, key);
    // The units [from, to) give way to the new text: the key's line, or none
    // where the new lines go.
    const QString entry = key + u'=' + value;
    qsizetype from = place.key.begin, to = place.key.end;
    QString added = entry;
    if (!place.keyFound) {
        from = to = place.insert;
        // New lines take the ending of the line before them, so that a lone CR
        // never meets a line feed after it; after a last line without an
        // ending, which gets one first, they take the file's.
        QString ending = EndingBefore(units, from);
        const bool ended = from == 0 || !ending.isEmpty();
        if (ending.isEmpty()) ending = EndingOf(units);
        added = (ended ? QString() : ending) + (place.sectionFound ? QString() : u'[' + section + u']' + ending) +
                entry + ending;
    }
    const QByteArray change = units.Encode(added);
    QByteArray result;
    result.reserve(bytes.size() + change.size());
    result.append(bytes.constData(), units.Offset(from)).append(change);
    result.append(bytes.constData() + units.Offset(to), bytes.size() - units.Offset(to));
    ReplaceAll(path_, result);
}
