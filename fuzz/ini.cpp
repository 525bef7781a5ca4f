// The input is an INI file and a section, key and value: reading any key of
// any file works, and after a write the key reads back as written, the file
// has grown or changed by that one line, and every other line is as it was.
#include "FuzzSupport.h"

#include "core/folder/IniFile.h"

#include <cstdint>

namespace {

// A name or value the program would write: letters and digits.
QString Word(const std::uint8_t* data, std::size_t size) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString word;
    for (std::size_t i = 0; i < size; ++i) word += QLatin1Char(letters[data[i] % (sizeof letters - 1)]);
    return word;
}

// The lines of a text with their endings, as a list.
QList<QByteArray> Lines(const QByteArray& bytes) {
    QList<QByteArray> lines;
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype feed = bytes.indexOf('\n', at);
        const qsizetype next = feed < 0 ? bytes.size() : feed + 1;
        lines << bytes.mid(at, next - at);
        at = next;
    }
    return lines;
}

// Whether after holds every line of before, in order (before's last line
// perhaps with a line ending added), and at most two lines more.
bool KeepsOtherLines(const QByteArray& before, const QByteArray& after) {
    const QList<QByteArray> old = Lines(before), now = Lines(after);
    qsizetype j = 0, skipped = 0;
    for (qsizetype i = 0; i < old.size(); ++i) {
        const bool last = i == old.size() - 1 && !old[i].endsWith('\n');
        const auto same = [&](const QByteArray& line) {
            return line == old[i] || (last && (line == old[i] + '\n' || line == old[i] + "\r\n"));
        };
        while (j < now.size() && !same(now[j])) {
            ++j;
            ++skipped;
        }
        if (j == now.size()) return false;
        ++j;
    }
    return skipped + (now.size() - j) <= 2;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzFolder folder;
    if (size < 3) return 0;
    const std::size_t sectionSize = 1 + data[0] % 8, keySize = 1 + data[1] % 8, valueSize = data[2] % 16;
    if (size < 3 + sectionSize + keySize + valueSize) return 0;
    const std::uint8_t* at = data + 3;
    const QString section = Word(at, sectionSize);
    const QString key = Word(at += sectionSize, keySize);
    const QString value = Word(at += keySize, valueSize);
    at += valueSize;
    const QByteArray before(reinterpret_cast<const char*>(at), qsizetype(data + size - at));
    folder.Put("prova.ini", before);

    IniFile ini(folder.File("prova.ini"));
    // Absent only when neither of two defaults comes back changed: a file may
    // hold either as the key's value.
    const bool existed = ini.ReadString(section, key, QStringLiteral("\x01")) != QStringLiteral("\x01") ||
                         ini.ReadString(section, key, QStringLiteral("\x02")) != QStringLiteral("\x02");
    ini.WriteString(section, key, value);
    FUZZ_CHECK(ini.ReadString(section, key) == value);
    QFile file(folder.File("prova.ini"));
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    const QByteArray after = file.readAll();
    if (!existed) {
        FUZZ_CHECK(KeepsOtherLines(before, after));
    } else {
        // A key that was there changes its own line only.
        const QList<QByteArray> oldLines = Lines(before), newLines = Lines(after);
        FUZZ_CHECK(newLines.size() == oldLines.size());
        qsizetype changed = 0;
        for (qsizetype i = 0; i < oldLines.size(); ++i) changed += oldLines[i] != newLines[i];
        FUZZ_CHECK(changed <= 1);
    }
    return 0;
}
