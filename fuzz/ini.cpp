// The input is an INI file and a section, key and value: reading any key of
// any file works, and after a write the key reads back as written, the file
// has grown or changed by that one line, and every other line is as it was,
// in whatever encoding and with whatever line ends the file has.
#include "FuzzSupport.h"

#include "core/folder/IniFile.h"

#include <QStringDecoder>

#include <cstdint>

namespace {

// A name or value the program would write: letters and digits.
QString Word(const std::uint8_t* data, std::size_t size) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString word;
    for (std::size_t i = 0; i < size; ++i) word += QLatin1Char(letters[data[i] % (sizeof letters - 1)]);
    return word;
}

// The text of a file as a reader that knows Notepad's byte-order marks sees
// it: UTF-16 after FF FE or FE FF (an odd last byte is no character), UTF-8
// otherwise, after its mark if it has one.
// A second mark after the first is a character of the text, and a sequence
// cut short at the end a replacement character.
QString TextOf(const QByteArray& bytes) {
    const bool little = bytes.startsWith("\xFF\xFE");
    const auto decoded = [](QStringConverter::Encoding encoding, const QByteArray& text) {
        using Flag = QStringConverter::Flag;
        return QString(QStringDecoder(encoding, Flag::ConvertInitialBom | Flag::Stateless).decode(text));
    };
    if (little || bytes.startsWith("\xFE\xFF"))
        return decoded(little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                       bytes.mid(2, (bytes.size() - 2) / 2 * 2));
    return decoded(QStringConverter::Utf8, bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
}

// The lines of a file's text with their endings ("\r\n", "\n" or a lone
// "\r"), as a list.
QList<QString> Lines(const QByteArray& bytes) {
    const QString text = TextOf(bytes);
    QList<QString> lines;
    for (qsizetype at = 0; at < text.size();) {
        qsizetype next = at;
        while (next < text.size() && text[next] != u'\n' && text[next] != u'\r') ++next;
        if (next < text.size()) next += text.mid(next, 2) == QStringLiteral("\r\n") ? 2 : 1;
        lines << text.mid(at, next - at);
        at = next;
    }
    return lines;
}

// Whether after holds every line of before, in order (before's last line
// perhaps with a line ending added), and at most two lines more.
bool KeepsOtherLines(const QByteArray& before, const QByteArray& after) {
    const QList<QString> old = Lines(before), now = Lines(after);
    qsizetype j = 0, skipped = 0;
    for (qsizetype i = 0; i < old.size(); ++i) {
        const bool last = i == old.size() - 1 && !old[i].endsWith(u'\n') && !old[i].endsWith(u'\r');
        const auto same = [&](const QString& line) {
            if (line == old[i]) return true;
            if (!last) return false;
            for (const char* ending : {"\r\n", "\n", "\r"})
                if (line == old[i] + QLatin1String(ending)) return true;
            return false;
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
        const QList<QString> oldLines = Lines(before), newLines = Lines(after);
        FUZZ_CHECK(newLines.size() == oldLines.size());
        qsizetype changed = 0;
        for (qsizetype i = 0; i < oldLines.size(); ++i) changed += oldLines[i] != newLines[i];
        FUZZ_CHECK(changed <= 1);
    }
    return 0;
}
