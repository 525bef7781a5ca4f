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

// Trims the text, converts it to Windows-1252 (best-fit letter, else "?") and
// keeps at most 250 bytes. Never fails.
ShortText250 EncodeShortText(const QString& text);

// Stores Windows-1252 bytes as they are, at most the first 250 of them.
ShortText250 ShortTextFromCodePage(QByteArrayView bytes);

// Converts the stored bytes back and trims them. A damaged length byte above
// 250 is read as 250, so a reader never leaves its field. Never fails.
QString DecodeShortText(const ShortText250& field);
// The stored bytes that DecodeShortText converts, trimmed alike (no byte of the
// code page but those up to 32 reads as a character up to 32), unconverted.
QByteArrayView ShortTextBytes(const ShortText250& field);

// What the archive keeps of `text` as it would read it back: every letter of
// Windows-1252 as it is, a best-fit letter in place of one the code page lacks
// ("ź" to "z"); a letter with neither is left out and added to `refused`.
QString ArchivableText(const QString& text, QString* refused = nullptr);

// The Windows-1252 byte of `c`, or -1 when the code page lacks it.
int CodePageByte(char32_t c);

// Windows-1252 conversions of whole texts, shared with the other files that the
// program writes in the code page.
QByteArray ToCodePage(const QString& text);
QString FromCodePage(const char* data, qsizetype size);
// The same into out, which has room for size characters.
void FromCodePage(const char* data, qsizetype size, QChar* out);
