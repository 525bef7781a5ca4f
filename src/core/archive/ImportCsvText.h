#pragma once
#include "core/platform/Files.h"
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <optional>

// The text of a CSV file: where its bytes come from, its byte-order mark, and
// UTF-16 brought to UTF-8 for the parser.
namespace csv_import {

// Where the bytes of a CSV file come from, a piece at a time, and again from
// the start after Rewind.
class Source {
public:
    virtual ~Source() = default;
    // The next size bytes, fewer only at the end (none there); valid until the
    // next call.
    virtual QByteArrayView Next(qsizetype size) = 0;
    virtual void Rewind() = 0;
};

class BytesSource final : public Source {
public:
    explicit BytesSource(const QByteArray& bytes) : bytes_(bytes) {}
    QByteArrayView Next(qsizetype size) override;
    void Rewind() override { at_ = 0; }

private:
    const QByteArray& bytes_;
    qsizetype at_ = 0;
};

// A file open for reading, closed with the source. Throws FileError when a
// read fails.
class FileSource final : public Source {
public:
    FileSource(platform::File file, const QString& path) : file_(std::move(file)), path_(path) {}

    QByteArrayView Next(qsizetype size) override;
    void Rewind() override;

private:
    [[noreturn]] void Fail() const;

    platform::File file_;
    const QString path_;
    QByteArray buffer_;
};

// The text of a file as the parser reads it, a chunk at a time from its start:
// past a UTF-8 byte-order mark, converted to UTF-8 from UTF-16 with a
// byte-order mark (Excel's "Unicode text": the same letters), else the bytes
// as they stand.
class Text {
public:
    enum class Mark { None, Utf8, Utf16 };

    Text(Source& source, qsizetype chunkSize);

    Mark MarkFound() const { return mark_; }

    // The next chunk of text, empty only at the end.
    QByteArrayView Next();

private:
    Source& source_;
    const qsizetype chunkSize_;
    QByteArray head_;  // the first chunk, past a UTF-8 mark
    bool headGiven_ = false;
    Mark mark_ = Mark::None;
    std::optional<QStringDecoder> utf16_;
    QString high_;  // a high surrogate cut from the end of the last chunk
    QByteArray converted_;
};

// Whether text without a byte-order mark is UTF-8 throughout, told a chunk at
// a time: a letter that a chunk edge cuts is finished with the next chunk.
class Utf8Check {
public:
    // Checks a chunk; false once the text is no UTF-8.
    bool Feed(QByteArrayView chunk);
    // Whether the whole text was UTF-8: a letter that the end cuts is not.
    bool End();

private:
    QStringDecoder decoder_{QStringConverter::Utf8};
    bool valid_ = true;
};

}  // namespace csv_import
