#include "core/folder/IniFile.h"

#include "core/folder/FileAccess.h"

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One line of the file as offsets into its bytes: the text is [begin, end),
// its own line ending ("\r\n", "\n" or nothing on a last line without one)
// [end, next). Lines are found one after the other, never all kept, so the
// work takes memory in proportion to the file.
struct Line {
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype next = 0;
};

Line LineAt(const QByteArray& bytes, qsizetype begin) {
    const qsizetype feed = bytes.indexOf('\n', begin);
    if (feed < 0) return {begin, bytes.size(), bytes.size()};
    const qsizetype end = feed > begin && bytes[feed - 1] == '\r' ? feed - 1 : feed;
    return {begin, end, feed + 1};
}

// The text without leading and trailing blanks and tabs.
QString Trimmed(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text[begin] == QLatin1Char(' ') || text[begin] == QLatin1Char('\t'))) ++begin;
    while (end > begin && (text[end - 1] == QLatin1Char(' ') || text[end - 1] == QLatin1Char('\t'))) --end;
    return text.mid(begin, end - begin);
}

QString Trimmed(const QByteArray& bytes, const Line& line) {
    return Trimmed(QString::fromUtf8(bytes.constData() + line.begin, line.end - line.begin));
}

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

Place Find(const QByteArray& bytes, const QString& section, const QString& key) {
    Place place;
    place.insert = bytes.size();
    bool inside = false;
    for (qsizetype at = 0; at < bytes.size();) {
        const Line line = LineAt(bytes, at);
        at = line.next;
        const QString text = Trimmed(bytes, line);
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
QByteArray EndingOf(const QByteArray& bytes) {
    const Line first = LineAt(bytes, 0);
    return first.end < first.next ? bytes.mid(first.end, first.next - first.end) : QByteArray("\r\n");
}

[[noreturn]] void Fail(const char* what, const QString& path, int error) {
    throw IniError(QStringLiteral("impossibile %1 %2: %3").arg(QLatin1String(what), path, SystemReason(error))
                       .toStdString());
}

// The bytes of the file, empty when there is nothing of that name. A file
// replaced by another copy of the program meanwhile is read whole, the old or
// the new: the replacement is one rename.
QByteArray ReadAll(const QString& path) {
    QString refusal;
    const int fd = OpenRegularFile(path, O_RDONLY, refusal);
    if (!refusal.isEmpty()) throw IniError(refusal.toStdString());
    if (fd < 0) {
        if (errno == ENOENT) return {};
        Fail("leggere", path, errno);
    }
    // Sized once from the file's length; a file that grows meanwhile is read on.
    QByteArray bytes;
    struct stat st {};
    bytes.reserve(::fstat(fd, &st) == 0 ? qsizetype(st.st_size) + 1 : 0);
    for (;;) {
        if (bytes.size() == bytes.capacity()) bytes.reserve(bytes.capacity() * 2 + 4096);
        const qsizetype size = bytes.size();
        bytes.resize(bytes.capacity());
        const ssize_t n = ::read(fd, bytes.data() + size, size_t(bytes.size() - size));
        bytes.resize(size + std::max<ssize_t>(n, 0));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            Fail("leggere", path, error);
        }
        if (n == 0) break;
    }
    ::close(fd);
    return bytes;
}

// Puts bytes in place of the file at path in one rename, through a new file
// beside it that takes the old file's permissions; the old file stays as it
// was when anything fails. A link is followed: its target is replaced.
void ReplaceAll(const QString& given, const QByteArray& bytes) {
    const QFileInfo info(given);
    const QString path = info.isSymLink() ? info.symLinkTarget() : given;
    static QAtomicInt counter;
    QString temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = QStringLiteral("%1.%2-%3.tmp").arg(path).arg(::getpid()).arg(counter.fetchAndAddRelaxed(1));
        fd = ::open(QFile::encodeName(temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) Fail("scrivere", given, errno);
    struct stat old {};
    const bool kept = ::stat(QFile::encodeName(path).constData(), &old) != 0 || ::fchmod(fd, old.st_mode & 07777) == 0;
    const bool written = kept && WriteAll(fd, bytes.constData(), bytes.size()) && ::fsync(fd) == 0;
    const int error = errno;
    if (!CloseChecked(fd) || !written ||
        ::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0) {
        const int failure = written ? errno : error;
        ::unlink(QFile::encodeName(temporary).constData());
        Fail("scrivere", given, failure);
    }
}

}  // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& fallback) const {
    const Place place = Find(ReadAll(path_), section, key);
    return place.keyFound ? place.value : fallback;
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    const QByteArray bytes = ReadAll(path_);
    const Place place = Find(bytes, section, key);
    // New lines take the ending the file already uses.
    const QByteArray ending = EndingOf(bytes);
    const QByteArray entry = key.toUtf8() + '=' + value.toUtf8();
    // Built in one buffer from the pieces of the old bytes around the change.
    const QByteArray header = place.sectionFound ? QByteArray() : '[' + section.toUtf8() + ']' + ending;
    QByteArray result;
    result.reserve(bytes.size() + ending.size() * 3 + header.size() + entry.size());
    if (place.keyFound) {
        result.append(bytes.constData(), place.key.begin).append(entry);
        result.append(bytes.constData() + place.key.end, bytes.size() - place.key.end);
    } else {
        result.append(bytes.constData(), place.insert);
        // A last line without an ending gets one before the new lines.
        if (!result.isEmpty() && !result.endsWith('\n')) result += ending;
        result.append(header).append(entry).append(ending);
        result.append(bytes.constData() + place.insert, bytes.size() - place.insert);
    }
    ReplaceAll(path_, result);
}
