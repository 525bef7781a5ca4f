#pragma once
#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>

// A fixed text field of 251 bytes: a length byte (0 to 250), then the text in
// Windows-1252. The bytes after the text carry no meaning.
struct ShortText250 {
    static constexpr int kMaxLength = 250;
    std::array<std::uint8_t, 251> bytes{};

    int Length() const { return bytes[0] > kMaxLength ? kMaxLength : bytes[0]; }
};
static_assert(sizeof(ShortText250) == 251);

// The one rule by which text enters the archive, its files and its file
// names: composed to NFC (so that "e" with a combining acute is the "é" of the
// code page), then converted to Windows-1252 as Windows' WideCharToMultiByte
// converts it by default: each UTF-16 unit to its byte, else to Windows'
// best-fit letter ("Ł" to "L", "ż" to "z"), else to "?" (so a character beyond
// the 16-bit range, two units, to "??").

// Trims the text, converts it by the rule above and keeps at most 250 bytes.
// Never fails.
ShortText250 EncodeShortText(const QString& text);

// Stores Windows-1252 bytes as they are, at most the first 250 of them.
ShortText250 ShortTextFromCodePage(QByteArrayView bytes);

// Converts the stored bytes back and trims them. A damaged length byte above
// 250 is read as 250, so a reader never leaves its field. Never fails.
QString DecodeShortText(const ShortText250& field);
// The stored bytes that DecodeShortText converts, trimmed alike (no byte of the
// code page but those up to 32 reads as a character up to 32), unconverted.
QByteArrayView ShortTextBytes(const ShortText250& field);

// What the archive keeps of `text` as it would read it back, untrimmed.
QString ArchivableText(const QString& text);

// The letters of `text` that `convert` stores as others, each once, in the
// order of the text, with what is stored in their place: "Ł → L, ż → z, 中 → ?".
// Empty when every letter is kept as it is (a letter composed to NFC is kept).
QString ChangedLetters(const QString& text, QByteArray (*convert)(const QString&));
QString ChangedLetters(const QString& text);

// A text as a field stores it, by the rule above, with the letters it changes
// (ChangedLetters): what the import and every other writer of fields that tells
// the user what was changed takes.
struct StoredText {
    QByteArray bytes;  // not cut to a field's 250 bytes
    QString changes;
};
StoredText ToStoredText(const QString& text);

// The Windows-1252 byte of `c`, or -1 when the code page lacks it.
int CodePageByte(char32_t c);

// Windows-1252 conversions of whole texts by the rule above, shared with the
// other files that the program writes in the code page. One byte for each
// UTF-16 unit of the composed text.
QByteArray ToCodePage(const QString& text);
QString FromCodePage(const char* data, qsizetype size);
// The same into out, which has room for size characters.
void FromCodePage(const char* data, qsizetype size, QChar* out);
